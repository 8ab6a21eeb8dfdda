#include "ui/ErrorDisplay.h"

#include "serial/EComPort.h"
#include "ui/AnsiText.h"

#include <QApplication>
#include <QMessageBox>

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
        if (DeviceHasGone(e))
            return QStringLiteral("device gone");
    } catch (...) {
    }
    return message;
}

QString ErrorBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

namespace {
void ShowMessageBox(const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);  // a message is never markup
    box.exec();
}
}  // namespace

TErrorDisplay::TErrorDisplay(QString title, TShowBox showBox)
    : title_(std::move(title))
    , showBox_(showBox ? std::move(showBox) : TShowBox(ShowMessageBox))
{
}

void TErrorDisplay::Show(const QString& message, const QString& episodeKey)
{
    const QString key = episodeKey.isEmpty() ? message : episodeKey;
    if (boxOpen_)
        return;
    if (episodeOpen_ && key == lastKey_)
        return;
    episodeOpen_ = true;
    lastKey_ = key;
    boxOpen_ = true;
    struct Closed {
        bool& open;
        ~Closed() { open = false; }
    } closed{boxOpen_};
    showBox_(title_, ErrorBoxText(message));
}

void TErrorDisplay::NoteSuccess()
{
    episodeOpen_ = false;
}

void TErrorDisplay::NoteOperatorAction()
{
    if (!boxOpen_)
        episodeOpen_ = false;
}
