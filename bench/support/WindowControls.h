#pragma once
// Working the real window (offscreen) from a benchmark, through its
// controls' object names: serving Qt's loop, finding a control, committing
// an entry field with Enter.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include <cstdio>
#include <functional>

namespace bench {

// Serves Qt's loop until `done` holds or `timeoutMs` passes.
inline bool ServeUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

template <class T>
T* Control(QWidget* form, const char* name)
{
    T* control = form->findChild<T*>(QString::fromLatin1(name));
    if (!control) std::fprintf(stderr, "bench: no control %s\n", name);
    return control;
}

inline void Commit(QWidget* form, const char* field, const char* text)
{
    auto* edit = Control<QLineEdit>(form, field);
    if (!edit) return;
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QString::fromLatin1(text));
    QTest::keyClick(edit, Qt::Key_Return);
}

}  // namespace bench
