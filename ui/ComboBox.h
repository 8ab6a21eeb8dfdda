#pragma once
// An editable combo box with auto-completion (the port list). OnClick runs
// each time an entry becomes the chosen one: picked with the mouse, moved to
// with the arrow keys, or completed from typing. Typing completes to the
// first entry that begins with the typed text, without regard to case: the
// field then shows the typed beginning as typed followed by the rest of the
// entry (rest selected), and that entry is chosen (OnClick runs when the
// completion chooses another entry than the one chosen before). Typed text
// that begins no entry chooses nothing; deleting completes nothing. Enter
// adds nothing to the list and chooses nothing of its own; on a name the list
// does not hold, OnNotListed runs with that name and the field shows the
// entry chosen again (empty when none is). OnDropDown runs
// each time the list is about to open, OnRefresh each time typed text is
// about to be completed or an arrow key is about to move the choice: the
// entries may be replaced in either. OnCloseUp runs when the list has closed.

#include <QComboBox>

#include <functional>

class TComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TComboBox(QWidget* parent);

    // The text now shown in the edit field.
    QString Text() const { return currentText(); }

    // Replaces the entries, each with its tool-tip, and keeps what the edit
    // field shows (text, caret and selection). The entry chosen stays chosen
    // when it is still listed. Chooses nothing: OnClick does not run.
    void SetItems(const QStringList& items, const QStringList& toolTips);

    std::function<void(QObject* Sender)> OnClick;
    std::function<void(QObject* Sender)> OnDropDown;
    std::function<void(QObject* Sender)> OnRefresh;
    std::function<void(QObject* Sender)> OnCloseUp;
    std::function<void(QObject* Sender, const QString& Name)> OnNotListed;

    void showPopup() override;
    void hidePopup() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CompleteFromTyping(const QString& typed);
    void EnterPressed();
    void Click();
    void Notify(const std::function<void(QObject*)>& handler);

    bool deleting_ = false;
};
