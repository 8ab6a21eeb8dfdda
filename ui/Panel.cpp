#include "ui/Panel.h"

#include <QPalette>

TPanel::TPanel(QWidget* parent, TBevel bevel, const QColor& color) : QLabel(parent)
{
    setAlignment(Qt::AlignCenter);
    setFrameStyle(bevel == TBevel::bvRaised ? (QFrame::Panel | QFrame::Raised) : QFrame::NoFrame);
    setLineWidth(1);
    setAutoFillBackground(true);  // an opaque cover, not a see-through one
    QPalette pal = palette();
    pal.setColor(QPalette::Window, color);
    setPalette(pal);
}
