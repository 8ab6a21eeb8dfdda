#include "ui/MouseButton.h"

#include "ui/HandlerCall.h"

#include <QMouseEvent>

TButton::TButton(QWidget* parent, const QString& caption) : QPushButton(caption, parent)
{
    setAutoDefault(false);
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (OnClick) CallHandler([this] { OnClick(this); });
    });
}

void TButton::mousePressEvent(QMouseEvent* event)
{
    QPushButton::mousePressEvent(event);
    if (OnMouseDown) {
        event->accept();  // keep the release for this button, also for the right button
        const QPoint at = event->position().toPoint();
        CallHandler([&] { OnMouseDown(this, event->button(), event->modifiers(), at.x(), at.y()); });
    }
}

void TButton::mouseReleaseEvent(QMouseEvent* event)
{
    QPushButton::mouseReleaseEvent(event);
    if (OnMouseUp) {
        event->accept();
        const QPoint at = event->position().toPoint();
        CallHandler([&] { OnMouseUp(this, event->button(), event->modifiers(), at.x(), at.y()); });
    }
}
