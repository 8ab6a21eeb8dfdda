#pragma once
// A single-line entry field with a maximum length and a key hook: Enter hands
// CR (13) to OnKeyPress; every other key only edits the field.
//
// Focus given by the program (setFocus, as a mode choice or a commit moving
// on does) or by Tab selects the whole text, so the first key typed replaces
// the value; a mouse click only places the caret, and focus coming back with
// the window (after a box closes) keeps the caret and selection as they were.
//
// The maximum length limits what the operator types, pastes or drops into
// the field (a paste is cut to fit); the program itself may set longer texts
// with setText, also from OnKeyPress. A field holding a longer text takes no
// more characters but can be shortened.

#include <QLineEdit>

#include <functional>

class TEdit : public QLineEdit {
    Q_OBJECT
public:
    using TKeyPressEvent = std::function<void(QObject* Sender, char& Key)>;

    TEdit(QWidget* parent, const QString& text, int maxLength);

    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int maxLength) { maxLength_ = maxLength; }

    // Runs on the main thread inside the key event; an exception ends the
    // handler and goes to the application's error display.
    TKeyPressEvent OnKeyPress;

protected:
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    friend class TOperatorInputLimit;

    int maxLength_;
    int operatorInput_ = 0;       // > 0 while an input event of the operator is handled
    qsizetype lengthBefore_ = 0;  // the text's length before the change under way
};
