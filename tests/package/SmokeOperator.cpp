// A Qt plugin that plays the operator inside the installed Tornvale, which
// takes no options and has no test hooks: Qt loads it at start when
//   QT_PLUGIN_PATH=<dir> QT_QPA_GENERIC_PLUGINS=tornvalesmoke:COMn
// are set. It waits for the window, opens the port list with the mouse,
// clicks COMn and waits for the device's clock reply in the QD-TR25 panel.
// Then it closes the window (exit code 0); any error box, or no reply within
// the patience, ends the program with exit code 1 and says why.

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGenericPlugin>
#include <QLabel>
#include <QAbstractItemView>
#include <QMainWindow>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kPatienceMs = 30000;

class TSmokeOperator : public QObject {
public:
    explicit TSmokeOperator(QString comName) : comName_(std::move(comName))
    {
        QObject::connect(&tick_, &QTimer::timeout, this, [this] { Step(); });
        tick_.start(100);
        QTimer::singleShot(kPatienceMs, this,
                           [this] { Fail(QStringLiteral("no clock reply in time, at: ") + stage_); });
    }

private:
    void Step()
    {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            Fail(QStringLiteral("error box: ") + box->text());
        QMainWindow* window = MainWindow();
        if (!window) return;
        auto* ports = window->findChild<QComboBox*>(QStringLiteral("Schnittstelle"));
        auto* deviceClock = window->findChild<QLabel*>(QStringLiteral("Modulzeit"));
        if (!ports || !deviceClock) Fail(QStringLiteral("the window has no port list or no device clock"));

        if (stage_ == QLatin1String("window")) {
            std::fprintf(stderr, "smoke: window \"%s\" is up\n", qPrintable(window->windowTitle()));
            // The arrow at the list's right end opens it.
            QTest::mouseClick(ports, Qt::LeftButton, {}, QPoint(ports->width() - 4, ports->height() / 2));
            stage_ = QStringLiteral("list");
            shownAt_.start();
        } else if (stage_ == QLatin1String("list")) {
            // The open list ignores a release right after it appeared.
            if (!ports->view()->isVisible() || shownAt_.elapsed() < 2 * QApplication::doubleClickInterval()) return;
            const int row = ports->findText(comName_);
            if (row < 0) Fail(comName_ + QStringLiteral(" is not in the port list"));
            QAbstractItemView* view = ports->view();
            const QRect item = view->visualRect(view->model()->index(row, 0));
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
            stage_ = QStringLiteral("reply");
        } else if (stage_ == QLatin1String("reply")) {
            static const QRegularExpression clock(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d\\d \\d\\d:\\d\\d:\\d\\d"));
            if (!clock.match(deviceClock->text()).hasMatch()) return;
            std::fprintf(stderr, "smoke: %s chosen, device clock %s\n", qPrintable(ports->currentText()),
                         qPrintable(deviceClock->text()));
            tick_.stop();
            window->close();
        }
    }

    static QMainWindow* MainWindow()
    {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* window = qobject_cast<QMainWindow*>(widget); window && window->isVisible()) return window;
        return nullptr;
    }

    [[noreturn]] void Fail(const QString& why)
    {
        std::fprintf(stderr, "smoke: FAILED: %s\n", qPrintable(why));
        std::fflush(stderr);
        std::_Exit(1);
    }

    QString comName_;
    QString stage_ = QStringLiteral("window");
    QTimer tick_;
    QElapsedTimer shownAt_;
};

}  // namespace

class TSmokeOperatorPlugin : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "SmokeOperator.json")
public:
    QObject* create(const QString& key, const QString& comName) override
    {
        if (key != QLatin1String("tornvalesmoke") || comName.isEmpty()) return nullptr;
        return new TSmokeOperator(comName);
    }
};

#include "SmokeOperator.moc"
