#include "ui/ComboBox.h"

#include "ui/HandlerCall.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>

TComboBox::TComboBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);  // completion follows our own rule, below
    connect(this, &QComboBox::activated, this, [this](int) { Click(); });
    connect(lineEdit(), &QLineEdit::textEdited, this, [this](const QString& typed) { CompleteFromTyping(typed); });
}

// The combo box holds the keyboard focus and hands the keys its line edit
// takes on to it directly, so they are looked at here.
void TComboBox::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        event->accept();  // QComboBox would choose (or add) the text a second time
        EnterPressed();
        return;
    }
    deleting_ = key == Qt::Key_Backspace || key == Qt::Key_Delete;
    const bool movesTheChoice =
        key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown;
    if (movesTheChoice && !(event->modifiers() & Qt::AltModifier))  // Alt opens or closes the list
        Notify(OnRefresh);
    QComboBox::keyPressEvent(event);
}

void TComboBox::CompleteFromTyping(const QString& typed)
{
    if (typed.isEmpty() || deleting_) return;  // completing after a deletion would put the deleted text back
    Notify(OnRefresh);
    for (int i = 0; i < count(); ++i) {
        const QString entry = itemText(i);
        if (!entry.startsWith(typed, Qt::CaseInsensitive)) continue;
        const bool changed = i != currentIndex();
        {
            const QSignalBlocker quiet(this);  // the choice is announced once, below
            setCurrentIndex(i);
        }
        lineEdit()->setText(typed + entry.mid(typed.size()));
        lineEdit()->setSelection(int(typed.size()), int(entry.size() - typed.size()));
        if (changed) Click();
        return;
    }
}

void TComboBox::EnterPressed()
{
    const QString name = currentText();
    if (name.isEmpty() || findText(name, Qt::MatchFixedString) >= 0) return;  // a listed name was chosen as typed
    lineEdit()->setText(currentIndex() >= 0 ? itemText(currentIndex()) : QString());
    if (OnNotListed) CallHandler([this, &name] { OnNotListed(this, name); });
}

void TComboBox::SetItems(const QStringList& items, const QStringList& toolTips)
{
    const QString shown = currentText();
    const QString chosen = currentIndex() >= 0 ? itemText(currentIndex()) : QString();
    const int caret = lineEdit()->cursorPosition();
    const int selectionStart = lineEdit()->selectionStart();
    const int selectionLength = lineEdit()->selectedText().size();

    const QSignalBlocker quiet(this);
    clear();
    for (qsizetype i = 0; i < items.size(); ++i) {
        addItem(items[i]);
        if (i < toolTips.size()) setItemData(int(i), toolTips[i], Qt::ToolTipRole);
    }
    setCurrentIndex(chosen.isEmpty() ? -1 : int(items.indexOf(chosen)));
    lineEdit()->setText(shown);
    if (selectionLength > 0)
        lineEdit()->setSelection(selectionStart, selectionLength);
    else
        lineEdit()->setCursorPosition(caret);
}

void TComboBox::showPopup()
{
    Notify(OnDropDown);
    QComboBox::showPopup();
}

void TComboBox::hidePopup()
{
    QComboBox::hidePopup();
    Notify(OnCloseUp);
}

void TComboBox::Click()
{
    Notify(OnClick);
}

void TComboBox::Notify(const std::function<void(QObject*)>& handler)
{
    if (handler) CallHandler([this, &handler] { handler(this); });
}
