#include "ui/RadioButton.h"

#include "ui/HandlerCall.h"

TRadioButton::TRadioButton(QWidget* parent, const QString& caption) : QRadioButton(caption, parent)
{
    connect(this, &QAbstractButton::toggled, this, [this](bool on) {
        if (on && OnClick) CallHandler([this] { OnClick(this); });
    });
}

void TRadioButton::SetChecked(bool checked)
{
    if (checked || !isChecked()) {
        setChecked(checked);
        return;
    }
    setAutoExclusive(false);
    setChecked(false);
    setAutoExclusive(true);
}
