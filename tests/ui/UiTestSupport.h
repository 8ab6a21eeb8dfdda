#pragma once
// What the window tests share: a window on a fixed clock, its controls by
// name, and a watcher that reads and closes the error boxes.

#include "serial/CPort.h"
#include "tests/support/WindowControl.h"
#include "ui/SDIMain.h"
#include "ui/FrameLabel.h"
#include "ui/MouseButton.h"
#include "ui/Panel.h"

#include <QApplication>
#include <QDateTime>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <functional>
#include <vector>

// 7 December 2026, 03:14:15 local time.
inline QDateTime FixedTestTime()
{
    return QDateTime(QDate(2026, 12, 7), QTime(3, 14, 15));
}

// Clicks into the field, types the text over what it held and commits it
// with Enter, as the operator enters a value.
inline void TypeAndCommit(QLineEdit* field, const char* text)
{
    QTest::mouseClick(field, Qt::LeftButton);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

// Owns a window for one test; the window may also delete itself by closing.
template <typename Form = TSDIAppForm>
class TFormHolder {
public:
    template <typename... Args>
    explicit TFormHolder(Args&&... args) : form_(new Form(std::forward<Args>(args)...))
    {
    }
    ~TFormHolder() { Reset(); }
    void Reset() { delete form_.data(); }
    TFormHolder(const TFormHolder&) = delete;
    TFormHolder& operator=(const TFormHolder&) = delete;

    Form* operator->() const { return form_.data(); }
    Form* get() const { return form_.data(); }

private:
    QPointer<Form> form_;
};

// Reads and closes every message box that opens while it lives.
class TBoxWatcher {
public:
    struct TSeenBox {
        QString Title;
        QString Text;
        QMessageBox::Icon Icon;
        QList<QAbstractButton*>::size_type ButtonCount;
        QMessageBox::StandardButtons Buttons;
        int BoxesOpen;  // message boxes on screen at that moment
        QWidget* Parent;
        QRect Frame;  // on the screen
    };

    TBoxWatcher()
    {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start();
    }

    // Runs while the box is open, before the watcher closes it.
    std::function<void(QMessageBox*)> WhileOpen;

    const std::vector<TSeenBox>& Seen() const { return seen_; }

private:
    void Poll()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || box == handling_) return;
        handling_ = box;
        int open = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<QMessageBox*>(w) && w->isVisible()) ++open;
        seen_.push_back({box->windowTitle(), box->text(), box->icon(), box->buttons().size(), box->standardButtons(),
                         open, box->parentWidget(), box->frameGeometry()});
        if (WhileOpen) WhileOpen(box);
        handling_ = nullptr;
        box->done(QMessageBox::Ok);
    }

    QTimer timer_;
    std::vector<TSeenBox> seen_;
    QMessageBox* handling_ = nullptr;
};
