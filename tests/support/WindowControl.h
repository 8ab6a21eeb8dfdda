#pragma once
// A window's control as a test reaches it: by its object name, as the
// operator knows it by its place and caption, never through the window's
// members.

#include <QObject>
#include <QString>
#include <QWidget>

#include <stdexcept>
#include <string>

// The control named `name` among the window's children, of type T; throws
// std::logic_error when there is none, so a renamed control fails the test
// that looks for it instead of crashing it.
template <typename T, typename Window>
T* Ctl(const Window& window, const char* name)
{
    QObject* found = window->template findChild<QObject*>(QString::fromLatin1(name));
    auto* control = dynamic_cast<T*>(found);
    if (!control) throw std::logic_error(std::string("the window has no control ") + name);
    return control;
}

// Whether something else lies over the control, so the operator cannot see or
// reach it: what lies at its centre in its window is not the control or part
// of it. A control hidden on its own is not covered.
inline bool Covered(const QWidget* control)
{
    const QWidget* window = control->window();
    if (!control->isVisibleTo(window)) return false;
    const QWidget* at = window->childAt(control->mapTo(window, control->rect().center()));
    return at && at != control && !control->isAncestorOf(at);
}
