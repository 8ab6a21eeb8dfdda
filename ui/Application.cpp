#include "ui/Application.h"

#include "ui/Artwork.h"
#include "ui/HandlerCall.h"
#include "ui/MainQueuePump.h"

#include <QEvent>
#include <QFileInfo>
#include <QWidget>

namespace {
const QEvent::Type kEscapedErrorEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

// An exception that ended a handler, on its way to the error display.
class TEscapedErrorEvent : public QEvent {
public:
    explicit TEscapedErrorEvent(std::exception_ptr error) : QEvent(kEscapedErrorEvent), Error(std::move(error)) {}
    std::exception_ptr Error;
};
}  // namespace

void HandOverEscapedError(std::exception_ptr error)
{
    TApplication* app = TApplication::Instance();
    if (!app) std::rethrow_exception(error);
    QCoreApplication::postEvent(app, new TEscapedErrorEvent(std::move(error)), Qt::HighEventPriority);
}

QString ApplicationTitleFor(const QString& programPath)
{
    QString name = QFileInfo(programPath).fileName();
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    if (dot >= 0) name.truncate(dot);
    if (name.size() > 1) name = name.left(1) + name.mid(1).toLower();
    return name;
}

TApplication::TApplication(int& argc, char** argv)
    : QApplication(argc, argv),
      errorDisplay_(std::make_unique<TErrorDisplay>(ApplicationTitleFor(applicationFilePath()))),
      pump_(std::make_unique<TMainQueuePump>())
{
    setWindowIcon(ApplicationIcon());
}

TApplication::~TApplication() = default;

QString TApplication::Title() const
{
    return errorDisplay_->Title();
}

TApplication* TApplication::Instance()
{
    return qobject_cast<TApplication*>(QCoreApplication::instance());
}

void TApplication::ReportSuccess()
{
    if (TApplication* app = Instance()) app->errorDisplay_->NoteSuccess();
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (receiver->isWidgetType())  // once per act, not again for its window
            errorDisplay_->NoteOperatorAction();
        break;
    default: break;
    }
    if (event->type() == kEscapedErrorEvent && receiver == this) {
        const std::exception_ptr& error = static_cast<TEscapedErrorEvent*>(event)->Error;
        const QString message = ExceptionMessage(error);
        errorDisplay_->Show(message, EpisodeKey(error, message));
        return true;
    }
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {  // the last resort for an exception no handler edge caught
        const QString message = ExceptionMessage(std::current_exception());
        errorDisplay_->Show(message, EpisodeKey(std::current_exception(), message));
        return false;
    }
}
