#pragma once
// The application's display of errors that escape an event handler: a modal
// box with the message, the application title, the error icon and OK.
//
// Beyond a plain box per error, the display keeps the operator from being
// flooded: no second box opens while one is open (errors meanwhile are
// dropped), and a failure that repeats with the same message is shown once
// per episode. An episode ends when a handler reports success or the operator
// acts (a key or mouse press outside a box); then the failure shows again.

#include <QString>

#include <exception>
#include <functional>

// The message of an escaped exception: std::exception messages are
// Windows-1252 text; anything else gets a fixed text.
QString ExceptionMessage(const std::exception_ptr& error);

// What makes two failures the same for the once-per-episode rule: one key
// for every port failure because the device has gone, else the message.
QString EpisodeKey(const std::exception_ptr& error, const QString& message);

// The box text: the message with "." appended when its last character sorts
// after "." (a letter, a digit, "/", ...); nothing appended to an empty one.
QString ErrorBoxText(const QString& message);

class TErrorDisplay {
public:
    // Shows one modal box and returns when it has been closed.
    using TShowBox = std::function<void(const QString& title, const QString& text)>;

    // The default shows a QMessageBox over the active window.
    explicit TErrorDisplay(QString title, TShowBox showBox = {});

    // Shows the message (once per episode and key, never while a box is
    // open); an empty key is the message itself.
    void Show(const QString& message, const QString& episodeKey = QString());

    void NoteSuccess();
    void NoteOperatorAction();

    bool BoxOpen() const { return boxOpen_; }
    const QString& Title() const { return title_; }

private:
    QString title_;
    TShowBox showBox_;
    bool boxOpen_ = false;
    bool episodeOpen_ = false;
    QString lastKey_;
};
