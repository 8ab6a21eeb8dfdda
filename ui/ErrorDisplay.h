#pragma once
// The application's display of errors that escape an event handler: a modal
// box with the message, the application title, the error icon and OK, owned
// by the main window.
//
// Beyond a plain box per error, the display keeps the operator from being
// flooded without hiding anything from them: one box at a time, and a
// failure that repeats with the same message is shown once per episode. An
// episode ends when a handler reports success or the operator acts (a key or
// mouse press outside a box); then the failure shows again. A failure of the
// timer's tick repeats by itself (an unplugged device fails the poll every
// second): its episode ends only with a success, so that it does not come
// back over the operator's next click, also when the same failure was first
// shown from elsewhere (the event thread's report of the loss). Every other
// failure that arrives while a box is open is shown after it, in the order
// of arrival.

#include "exchange/SessionTexts.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <deque>
#include <exception>
#include <functional>
#include <optional>

// The message of an escaped exception: std::exception messages are
// Windows-1252 text; anything else gets a fixed text.
QString ExceptionMessage(const std::exception_ptr& error);

// What makes two failures the same for the once-per-episode rule: one key
// for every port failure because the device has gone, else the message.
QString EpisodeKey(const std::exception_ptr& error, const QString& message);

// The box text: the message with "." appended when its last character sorts
// after "." (a letter, a digit, "/", ...); nothing appended to an empty one.
// A lead (what happened, in plain words) comes first, the message below it.
QString ErrorBoxText(const QString& message, const QString& lead = QString());

class TErrorDisplay {
public:
    // An error box carries the error icon; a notice (the readout file's fixed
    // texts) none.
    enum class TBoxKind { bkError, bkNotice };

    // Shows one modal box and returns when it has been closed.
    using TShowBox = std::function<void(TBoxKind kind, const QString& title, const QString& text)>;

    // The default shows a QMessageBox owned by the main window.
    explicit TErrorDisplay(QString title, TShowBox showBox = {});
    TErrorDisplay(const TErrorDisplay&) = delete;  // the default box refers to this display
    TErrorDisplay& operator=(const TErrorDisplay&) = delete;

    // The window every box belongs to: centred over it and kept above it,
    // also a box that waited while the window that was active then has gone.
    // Without one (or once it is gone) a box has no owner.
    void SetMainWindow(QWidget* window) { mainWindow_ = window; }

    // Shows the message in an error box, once per episode and key; an empty
    // key is the message itself. While a box is open it waits its turn.
    // `fromTimer`: the failure of a timer tick, whose episode an act does not end.
    // `lead`: the plain sentence shown above the message.
    void Show(const QString& message, const QString& episodeKey = QString(), bool fromTimer = false,
              const QString& lead = QString());
    // Shows the text as it is, without episodes; waits its turn the same way,
    // and is dropped only while the same notice is open or waiting.
    void ShowNotice(const QString& text);

    void NoteSuccess();
    void NoteOperatorAction();

    bool BoxOpen() const { return open_.has_value(); }
    const QString& Title() const { return title_; }

    // The language of the texts the program adds to a box; the window's
    // caption language.
    void SetLanguage(exchange::TTextLanguage language) { language_ = language; }
    exchange::TTextLanguage Language() const { return language_; }

private:
    struct TBox {
        TBoxKind Kind;
        QString Text;  // as shown
        QString Key;   // what makes two boxes the same
        bool FromTimer = false;
    };
    bool Known(const TBox& box) const;
    void Enqueue(TBox box);
    void ShowInTurn();

    QString title_;
    exchange::TTextLanguage language_ = exchange::TTextLanguage::tlGerman;
    QPointer<QWidget> mainWindow_;
    TShowBox showBox_;
    std::optional<TBox> open_;
    std::deque<TBox> waiting_;  // arrived while a box was open, in order
    QStringList& EpisodesOf(const TBox& box) { return box.FromTimer ? timerEpisodes_ : episodes_; }

    QStringList episodes_;       // error keys shown since the last success or act
    QStringList timerEpisodes_;  // error keys shown since the last success, whoever failed
};
