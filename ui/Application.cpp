#include "ui/Application.h"

#include "portlist/AnsiText.h"
#include "ui/Artwork.h"
#include "ui/HandlerCall.h"
#include "ui/MainQueuePump.h"
#include "ui/MessageBox.h"
#include "ui/PortFailureText.h"

#include <QEvent>
#include <QFileInfo>
#include <QWidget>

namespace {
const QEvent::Type kHandedOverEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

// A failure on its way to the error display: an exception that ended a
// handler, or a notice. One kind of event at one priority, so the display
// gets them in the order they were handed over.
class THandedOverEvent : public QEvent {
public:
    THandedOverEvent(std::exception_ptr error, THandlerCause cause)
        : QEvent(kHandedOverEvent), Error(std::move(error)), Cause(cause)
    {
    }
    explicit THandedOverEvent(QString notice) : QEvent(kHandedOverEvent), Notice(std::move(notice)) {}
    std::exception_ptr Error;
    THandlerCause Cause = THandlerCause::hcEvent;
    QString Notice;
};

void HandOver(THandedOverEvent* event)
{
    QCoreApplication::postEvent(TApplication::Instance(), event, Qt::HighEventPriority);
}
}  // namespace

void HandOverEscapedError(std::exception_ptr error, THandlerCause cause)
{
    if (!TApplication::Instance()) std::rethrow_exception(error);
    HandOver(new THandedOverEvent(std::move(error), cause));
}

void HandOverNotice(const std::string& text)
{
    if (!TApplication::Instance()) {
        ShowMessage(text);
        return;
    }
    HandOver(new THandedOverEvent(QStringFromAnsi(text)));
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
    if (event->type() == kHandedOverEvent && receiver == this) {
        const auto* handedOver = static_cast<THandedOverEvent*>(event);
        if (!handedOver->Error) {
            errorDisplay_->ShowNotice(handedOver->Notice);
            return true;
        }
        ShowError(handedOver->Error, handedOver->Cause);
        return true;
    }
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {  // the last resort for an exception no handler edge caught
        ShowError(std::current_exception(), THandlerCause::hcEvent);
        return false;
    }
}

void TApplication::ShowError(const std::exception_ptr& error, THandlerCause cause)
{
    const QString message = ExceptionMessage(error);
    errorDisplay_->Show(message, EpisodeKey(error, message), cause == THandlerCause::hcTimer,
                        QStringFromAnsi(PortFailureSentence(error, errorDisplay_->Language())));
}
