#include "ui/ErrorDisplay.h"

#include "serial/PortFailure.h"
#include "portlist/AnsiText.h"

#include <QMessageBox>

#include <algorithm>
#include <utility>

QString ExceptionMessage(const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return QStringFromAnsi(e.what());
    } catch (...) {
        return QStringLiteral("Unbekannter Fehler");
    }
}

QString EpisodeKey(const std::exception_ptr& error, const QString& message)
{
    try {
        std::rethrow_exception(error);
    } catch (const EComPort& e) {
        if (ClassifyPortFailure(e) == TPortFailure::pfDeviceGone) return QStringLiteral("device gone");
    } catch (...) {
    }
    return message;
}

QString ErrorBoxText(const QString& message, const QString& lead)
{
    QString text = message;
    if (!text.isEmpty() && text.back() > QLatin1Char('.')) text += QLatin1Char('.');
    return lead.isEmpty() ? text : lead + QStringLiteral("\n\n") + text;
}

namespace {
void ShowMessageBox(TErrorDisplay::TBoxKind kind, const QString& title, const QString& text, QWidget* owner)
{
    const QMessageBox::Icon icon =
        kind == TErrorDisplay::TBoxKind::bkError ? QMessageBox::Critical : QMessageBox::NoIcon;
    QMessageBox box(icon, title, text, QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);  // a message is never markup
    box.exec();
}
}  // namespace

TErrorDisplay::TErrorDisplay(QString title, TShowBox showBox) : title_(std::move(title)), showBox_(std::move(showBox))
{
    if (!showBox_)
        showBox_ = [this](TBoxKind kind, const QString& title, const QString& text) {
            ShowMessageBox(kind, title, text, mainWindow_);
        };
}

void TErrorDisplay::Show(const QString& message, const QString& episodeKey, bool fromTimer, const QString& lead)
{
    TBox box{TBoxKind::bkError, ErrorBoxText(message, lead), episodeKey.isEmpty() ? message : episodeKey, fromTimer};
    if (EpisodesOf(box).contains(box.Key)) return;  // the same failure again, in an episode already shown
    Enqueue(std::move(box));
}

void TErrorDisplay::ShowNotice(const QString& text)
{
    Enqueue({TBoxKind::bkNotice, text, text, false});
}

bool TErrorDisplay::Known(const TBox& box) const
{
    auto same = [&box](const TBox& other) { return other.Kind == box.Kind && other.Key == box.Key; };
    return (open_ && same(*open_)) || std::any_of(waiting_.begin(), waiting_.end(), same);
}

void TErrorDisplay::Enqueue(TBox box)
{
    if (Known(box)) return;
    waiting_.push_back(std::move(box));
    if (!open_) ShowInTurn();
}

// Runs the boxes one after another; a box that arrives while one is open
// (from the box's own event loop) is taken up here when its turn comes.
void TErrorDisplay::ShowInTurn()
{
    while (!waiting_.empty()) {
        TBox next = std::move(waiting_.front());
        waiting_.pop_front();
        if (next.Kind == TBoxKind::bkError) {
            if (EpisodesOf(next).contains(next.Key)) continue;  // shown again meanwhile; an episode is one box
            episodes_.append(next.Key);
            timerEpisodes_.append(next.Key);  // the timer's failing again is no news either
        }
        open_ = std::move(next);
        struct Closed {
            std::optional<TBox>& open;
            ~Closed() { open.reset(); }
        } closed{open_};
        showBox_(open_->Kind, title_, open_->Text);
    }
}

void TErrorDisplay::NoteSuccess()
{
    episodes_.clear();
    timerEpisodes_.clear();
}

void TErrorDisplay::NoteOperatorAction()
{
    if (!open_) episodes_.clear();
}
