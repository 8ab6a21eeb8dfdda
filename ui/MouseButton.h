#pragma once
// A push button with the mouse events of its kind: OnMouseDown and OnMouseUp
// for any mouse button (the release reaches the button that saw the press,
// wherever the pointer is by then), and OnClick for an activation by mouse or
// keyboard. A button without OnClick does nothing when activated from the
// keyboard.

#include <QPushButton>

#include <functional>

class TButton : public QPushButton {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(QObject* Sender)>;
    using TMouseEvent =
        std::function<void(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)>;

    TButton(QWidget* parent, const QString& caption);

    TNotifyEvent OnClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};
