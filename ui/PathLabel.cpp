#include "ui/PathLabel.h"

#include <QEvent>
#include <QFontMetrics>

TPathLabel::TPathLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
}

void TPathLabel::SetPath(const QString& path)
{
    path_ = path;
    setToolTip(path);
    Redraw();
}

void TPathLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    Redraw();
}

void TPathLabel::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange) Redraw();
}

void TPathLabel::Redraw()
{
    const int room = contentsRect().width();
    setText(fontMetrics().elidedText(path_, Qt::ElideMiddle, room > 0 ? room : 0));
}
