#pragma once
// A mode radio button. All radio buttons with one parent form one group.
// OnClick runs only when the button goes from unchecked to checked, whether
// the operator or the program checks it; unchecking runs nothing, and
// clicking the button that is already checked does nothing.

#include <QRadioButton>

#include <functional>

class TRadioButton : public QRadioButton {
    Q_OBJECT
public:
    TRadioButton(QWidget* parent, const QString& caption);

    bool Checked() const { return isChecked(); }
    // Unchecking works also on the checked button of the group, which the
    // group itself never allows, so the program can leave no mode chosen.
    void SetChecked(bool checked);

    std::function<void(QObject* Sender)> OnClick;
};
