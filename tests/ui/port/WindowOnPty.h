#pragma once
// The real window with a device on COM7, a pseudo-terminal whose master side
// the test plays, started in a folder of its own; the operator reaches the
// port list with clicks and keys only.

#include "tests/support/WindowControl.h"
#include "tests/support/LinkedPty.h"
#include "UiTestSupport.h"

#include "ui/Application.h"
#include "ui/ComboBox.h"

#include <QAbstractItemView>
#include <QDir>
#include <QStatusBar>
#include <QStyleOptionComboBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// The folder the window starts in (and its folder list shows), made before the window.
class TStartFolder {
protected:
    TStartFolder() : saved_(QDir::currentPath()) { QDir::setCurrent(dir.path()); }
    ~TStartFolder() { QDir::setCurrent(saved_); }
    QTemporaryDir dir;

private:
    QString saved_;
};

class TWindowOnPty : public testing::Test, protected TStartFolder {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(device.Linked()) << device.Error();
        TApplication::ReportSuccess();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

    // A click on the arrow of the combo box, as the operator opens the list.
    void ClickArrow()
    {
        TComboBox* box = Ctl<TComboBox>(form, "Schnittstelle");
        QStyleOptionComboBox option;
        option.initFrom(box);
        option.editable = true;
        option.subControls = QStyle::SC_All;
        const QRect arrow = box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, box);
        QTest::mouseClick(box, Qt::LeftButton, {}, arrow.center());
        ASSERT_TRUE(QTest::qWaitFor([box] { return box->view()->isVisible(); }, 5000));
    }

    // Opens the list, walks it with the arrow keys to `name` and takes it with Enter.
    void ChooseFromList(const QString& name)
    {
        TComboBox* box = Ctl<TComboBox>(form, "Schnittstelle");
        ClickArrow();
        for (int i = 0; i < box->count() && box->view()->currentIndex().data().toString() != name; ++i)
            Key(Qt::Key_Down);
        ASSERT_EQ(box->view()->currentIndex().data().toString(), name);
        Key(Qt::Key_Return);
    }

    // A click on a control of a window that is not the active one makes it
    // active first, as the window system does (after a popup or a box has
    // gone, the offscreen platform may leave no window active).
    void Click(QWidget* control, QPoint at = {})
    {
        if (!control->window()->isActiveWindow()) {
            control->window()->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(control->window()));
        }
        QTest::mouseClick(control, Qt::LeftButton, {}, at);
    }

    static void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    static void Type(const char* text) { QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(text)); }

    TLinkedPty device{"COM7"};
    TFormHolder<TSDIAppForm> form;
};
