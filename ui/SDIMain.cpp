#include "ui/SDIMain.h"

#include "exchange/SystemTime.h"
#include "portlist/AnsiText.h"
#include "serial/CPort.h"
#include "ui/Application.h"
#include "ui/CaptionTable.h"
#include "portlist/ComAvailable.h"
#include "ui/ComboBox.h"
#include "ui/DirectoryChooser.h"
#include "ui/DriveChooser.h"
#include "ui/Edit.h"
#include "ui/EntryFieldTable.h"
#include "ui/FileDigest.h"
#include "ui/HandlerCall.h"
#include "ui/MouseButton.h"
#include "ui/Panel.h"
#include "ui/PathLabel.h"
#include "ui/PortDoctor.h"
#include "ui/RadioButton.h"
#include "ui/StatusBarLoan.h"
#include "ui/StatusLine.h"
#include "ui/TimeSeparator.h"
#include "ui/Timer.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPushButton>

#include <stdexcept>

namespace {
void SetCaption(QWidget* control, const QString& caption)
{
    if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(caption);
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(caption);
    else
        throw std::logic_error("control without a caption");
}
}  // namespace

TSDIAppForm::TSDIAppForm(TClock clock, QWidget* parent) : QMainWindow(parent), clock_(std::move(clock))
{
    setAttribute(Qt::WA_DeleteOnClose);  // closing the window ends it and its port
    if (TApplication* app = TApplication::Instance()) {
        app->ErrorDisplay().SetMainWindow(this);
        app->ErrorDisplay().SetLanguage(TextLanguageOf(LanguageIndex));
    }
    BuildControls();
    portDoctor_ = std::make_unique<TPortDoctor>(StatusBar);
    portListStatus_ = std::make_unique<TStatusBarLoan>(StatusBar);
    news_ = std::make_unique<TStatusLine>(StatusBar);
    WireHandlers();
    CallHandler([this] { FormCreate(this); });  // a failure is shown once the loop runs
}

TSDIAppForm::~TSDIAppForm()
{
    // The port goes first, while every control its last delivery may touch
    // still exists; nothing is shown after that.
    Timer1->stop();
    requestTimer_->stop();
    pcClock_->stop();
    try {
        session_.Port().Close();
    } catch (...) {
        // Nobody is left to be shown the failure; the destructor releases the rest.
    }
    session_.SetListener(nullptr);
    // Hiding the children while QWidget goes hides the list's popup too; its
    // handlers must not reach members that are already gone.
    Schnittstelle->OnDropDown = nullptr;
    Schnittstelle->OnCloseUp = nullptr;
    disconnect(Schnittstelle, nullptr, this, nullptr);
}

void TSDIAppForm::WireHandlers()
{
    connect(FileExitItem, &QAction::triggered, this,
            [this] { CallHandler([this] { FileExit1Execute(FileExitItem); }); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { CallHandler([this] { BitBtn1Click(BitBtn1); }); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { CallHandler([this] { BitBtn2Click(BitBtn2); }); });

    Button1->OnMouseDown = [this](QObject* s, Qt::MouseButton b, Qt::KeyboardModifiers m, int x, int y) {
        Button1MouseDown(s, b, m, x, y);
    };
    Button1->OnMouseUp = [this](QObject* s, Qt::MouseButton b, Qt::KeyboardModifiers m, int x, int y) {
        Button1MouseUp(s, b, m, x, y);
    };

    Schnittstelle->OnClick = [this](QObject* s) { SchnittstelleClick(s); };
    Schnittstelle->OnDropDown = [this](QObject* s) { SchnittstelleDropDown(s); };
    Schnittstelle->OnRefresh = [this](QObject*) { FillPortList(); };
    Schnittstelle->OnCloseUp = [this](QObject* s) { SchnittstelleCloseUp(s); };
    Schnittstelle->OnNotListed = [this](QObject* s, const QString& name) { SchnittstelleNotListed(s, name); };
    connect(Schnittstelle, &QComboBox::highlighted, this,
            [this](int index) { CallHandler([this, index] { SchnittstelleHighlight(index); }); });
    Wert_lesen->OnClick = [this](QObject* s) { Wert_lesenClick(s); };
    Datei_lesen->OnClick = [this](QObject* s) { Datei_lesenClick(s); };
    Uhr_stellen->OnClick = [this](QObject* s) { Uhr_stellenClick(s); };
    Konfig->OnClick = [this](QObject* s) { StartupClick(s); };
    Uebertragen->OnClick = [this](QObject* s) { LesenClick(s); };
    Timer1->OnTimer = [this](QObject* s) {
        Timer1Timer(s);
        ShowSession();
    };
    requestTimer_->OnTimer = [this](QObject*) { session_.CheckTime(); };
    pcClock_->OnTimer = [this](QObject*) { PcClockTick(); };
    // The session tells of every line and every end of a request.
    session_.SetListener([this] { ShowSession(); });

    // Each change of the readout folder runs "Datei lesen" again.
    DirectoryListBox1->OnChange = [this](QObject* s) { Datei_lesenClick(s); };

    for (const TEntryFieldWidget& row : EntryFieldWidgets())
        (this->*row.Edit)->OnKeyPress = [this](QObject* s, char& key) { EntryFieldKeyPress(s, key); };
}

bool TSDIAppForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == client_ && event->type() == QEvent::Resize) LayOutBars();
    return QMainWindow::eventFilter(watched, event);
}

// ---- start-up and shutdown --------------------------------------------------

void TSDIAppForm::FormCreate(QObject* /*Sender*/)
{
    // The date separator of every date the window shows is "." (the system
    // time's format carries it); the time separator stays the system's.
    TimeSeparator = TimeSeparatorOf(QLocale::system()).toLatin1();
    // Names the date fields build, in any mode, lie in the folder the chooser shows.
    TakeReadoutFolder();

    FillPortList();
    Schnittstelle->setCurrentIndex(-1);
    Schnittstelle->setEditText(QString());

    Panel5->SetCaption(SystemTimeText(Now()));
    pcClock_->SetEnabled(true);

    for (TPanel* cover : {Panel1, Panel2, Panel3, Panel4}) cover->show();
    Systemzeit->hide();
    Datei->hide();
}

void TSDIAppForm::FileExit1Execute(QObject* /*Sender*/)
{
    close();
}

QStringList TSDIAppForm::GetComAvailable()
{
    return ::GetComAvailable();
}

QDateTime TSDIAppForm::Now() const
{
    return clock_ ? clock_() : QDateTime::currentDateTime();
}

QString TSDIAppForm::SystemTimeText(const QDateTime& when) const
{
    const QDate date = when.date();
    const QTime time = when.time();
    const exchange::TDateTimeParts parts{date.year(), date.month(),  date.day(),
                                         time.hour(), time.minute(), time.second()};
    return QStringFromAnsi(exchange::FormatPanel5(parts, TimeSeparator));
}

QString TSDIAppForm::DateiPath() const
{
    return Datei->Path();
}

// ---- covers and focus -------------------------------------------------------

bool TSDIAppForm::IsCovered(const QWidget* control) const
{
    const QWidget* top = control;
    while (top && top->parentWidget() != client_) top = top->parentWidget();
    if (!top) return false;
    const QObjectList& stacking = client_->children();  // bottom to top
    const qsizetype level = stacking.indexOf(const_cast<QWidget*>(top));
    for (const TPanel* cover : covers_) {
        if (cover == top || cover->isHidden()) continue;
        if (stacking.indexOf(const_cast<TPanel*>(cover)) > level && cover->geometry().intersects(top->geometry()))
            return true;
    }
    return false;
}

bool TSDIAppForm::focusNextPrevChild(bool next)
{
    QWidget* start = QApplication::focusWidget();
    // The focus chain is finite: stop when it comes round to where it began.
    for (int step = 0; step < 1000; ++step) {
        if (!QMainWindow::focusNextPrevChild(next)) return false;
        QWidget* now = QApplication::focusWidget();
        if (!now || !IsCovered(now) || now == start) return true;
    }
    return true;
}

// ---- caption language -------------------------------------------------------

void TSDIAppForm::BitBtn1Click(QObject* /*Sender*/)
{
    ApplyLanguage(kLanguageGerman);
}

void TSDIAppForm::BitBtn2Click(QObject* /*Sender*/)
{
    ApplyLanguage(kLanguageEnglish);
}

void TSDIAppForm::ApplyLanguage(std::uint8_t language)
{
    LanguageIndex = language;
    for (const TCaptionRow& row : CaptionTable) {
        auto* control = findChild<QWidget*>(QString::fromLatin1(row.Control));
        if (!control) throw std::logic_error(std::string("no control ") + row.Control);
        SetCaption(control, CaptionOf(row, LanguageIndex));
    }
    // Every text the program adds follows at once.
    const exchange::TTextLanguage texts = TextLanguageOf(LanguageIndex);
    portDoctor_->LanguageChanged(LanguageIndex);
    news_->LanguageChanged(texts);
    session_.SetLanguage(texts);  // shown through the session's listener
    if (TApplication* app = TApplication::Instance()) app->ErrorDisplay().SetLanguage(texts);
}

// ---- software identification ----------------------------------------------

QString TSDIAppForm::ProgramFileName()
{
    return QCoreApplication::applicationFilePath();
}

QString TSDIAppForm::MD5(const QString& FileName)
{
    return Md5OfFile(FileName);
}

void TSDIAppForm::Button1MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int)
{
    Software->setText(QStringLiteral(" "));
}

void TSDIAppForm::Button1MouseUp(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int)
{
    Software->setText(MD5(ProgramFileName()));
}
