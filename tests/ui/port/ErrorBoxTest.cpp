// The error boxes of the window at work on a port: every box, also one that
// waited for another to close, belongs to the main window and stands over it.

#include "WindowOnPty.h"

#include <QScreen>

#include <algorithm>

namespace {

class ErrorBoxes : public TWindowOnPty {
protected:
    // Where a box centred over the window ends up on this screen: as near to
    // the window's centre as the screen's edges let it.
    QPoint CentreOverWindow(const QRect& box) const
    {
        const QRect screen = form->screen()->availableGeometry();
        const QPoint centre = form->frameGeometry().center();
        const int halfWidth = box.width() / 2, halfHeight = box.height() / 2;
        return {std::clamp(centre.x(), screen.left() + halfWidth, screen.right() - halfWidth),
                std::clamp(centre.y(), screen.top() + halfHeight, screen.bottom() - halfHeight)};
    }

    TBoxWatcher boxes;
};

// A clock reply whose first two characters are no number fails; a second one
// arrives while the first box is open and waits its turn. When it comes, the
// window that was active is gone with the first box: the box must still be
// the main window's.
TEST_F(ErrorBoxes, ABoxThatWaitedItsTurnBelongsToTheMainWindow)
{
    ChooseFromList("COM7");
    ASSERT_TRUE(form->CPort1->Connected());
    boxes.WhileOpen = [&](QMessageBox*) {
        if (boxes.Seen().size() != 1) return;
        ASSERT_TRUE(device.pty.WriteAll("yy.01.01 00:00:00ABCD\r\n"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return form->Modulzeit->Caption().startsWith("yy"); }, 10000));
    };
    ASSERT_TRUE(device.pty.WriteAll("zz.01.01 00:00:00ABCD\r\n"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.Seen().size() >= 2; }, 10000));

    const QString texts[] = {QString::fromUtf8("'zz' ist kein gültiger Integerwert."),
                             QString::fromUtf8("'yy' ist kein gültiger Integerwert.")};
    for (std::size_t i = 0; i < 2; ++i) {
        const auto& box = boxes.Seen()[i];
        SCOPED_TRACE(box.Text.toStdString());
        EXPECT_EQ(box.Text, texts[i]);
        EXPECT_EQ(box.Parent, form.get());
        const QPoint expected = CentreOverWindow(box.Frame);
        EXPECT_LE((box.Frame.center() - expected).manhattanLength(), 4)
            << box.Frame.center().x() << "," << box.Frame.center().y() << " instead of " << expected.x() << ","
            << expected.y();
    }
}

}  // namespace
