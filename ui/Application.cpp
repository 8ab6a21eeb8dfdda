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
    TEscapedErrorEvent(std::exception_ptr error, THandlerCause cause)
        : QEvent(kEscapedErrorEvent), Error(std::move(error)), Cause(cause)
    {
    }
    std::exception_ptr Error;
    THandlerCause Cause;
};
}  // namespace

void HandOverEscapedError(std::exception_ptr error, THandlerCause cause)
{
    TApplication* app = TApplication::Instance();
    if (!app) std::rethrow_exception(error);
    QCoreApplication::postEvent(app, new TEscapedErrorEvent(std::move(error), cause), Qt::HighEventPriority);
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
        const auto* escaped = static_cast<TEscapedErrorEvent*>(event);
        const QString message = ExceptionMessage(escaped->Error);
        errorDisplay_->Show(message, EpisodeKey(escaped->Error, message), escaped->Cause == THandlerCause::hcTimer);
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
