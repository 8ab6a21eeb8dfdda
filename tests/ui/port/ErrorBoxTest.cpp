// The error boxes of the window at work on a port: every box, also one that
// waited for another to close, belongs to the main window and stands over
// it, and failures that meet in one pass of the event loop are shown in the
// order they happened.

#include "tests/support/WindowControl.h"
#include "WindowOnPty.h"

#include "platform/MainThread.h"
#include "ui/PathLabel.h"
#include "ui/RadioButton.h"

#include <QFile>
#include <QLineEdit>
#include <QScreen>

#include <algorithm>

#include <poll.h>

namespace {

class ErrorBoxes : public TWindowOnPty {
protected:
    TBoxWatcher boxes;
};

// A clock reply whose first two characters are no number fails; a second one
// arrives while the first box is open and waits its turn. When it comes, the
// window that was active is gone with the first box: the box must still be
// the main window's.
TEST_F(ErrorBoxes, ABoxThatWaitedItsTurnBelongsToTheMainWindow)
{
    ChooseFromList("COM7");
    ASSERT_TRUE(form->Session().Port().Connected());
    boxes.WhileOpen = [&](QMessageBox*) {
        if (boxes.Seen().size() != 1) return;
        // The next tick's query, answered as garbled as the first.
        ASSERT_TRUE(QTest::qWaitFor([&] { return Ctl<QLabel>(form, "Rueckgabe")->text() == "806412"; }, 10000));
        ASSERT_TRUE(device.pty.WriteAll("yy.01.01 00:00:00ABCD\r\n"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return Ctl<TPanel>(form, "Modulzeit")->Caption().startsWith("yy"); }, 10000));
    };
    ASSERT_TRUE(device.pty.WriteAll("zz.01.01 00:00:00ABCD\r\n"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.Seen().size() >= 2; }, 10000));

    const QRect screen = form->screen()->availableGeometry();
    const QPoint centre = form->frameGeometry().center();
    const char* const replies[] = {"'zz'", "'yy'"};  // in the order they failed
    for (std::size_t i = 0; i < 2; ++i) {
        const auto& box = boxes.Seen()[i];
        SCOPED_TRACE(box.Text.toStdString());
        EXPECT_TRUE(box.Text.startsWith(replies[i]));
        EXPECT_EQ(box.Parent, form.get());
        // Centred over the window, as far as the screen's edges let it.
        const int halfWidth = box.Frame.width() / 2, halfHeight = box.Frame.height() / 2;
        const QPoint expected(std::clamp(centre.x(), screen.left() + halfWidth, screen.right() - halfWidth),
                              std::clamp(centre.y(), screen.top() + halfHeight, screen.bottom() - halfHeight));
        EXPECT_LE((box.Frame.center() - expected).manhattanLength(), 4);
    }
}

// A download's file vanishes; the device's last lines are on their way when
// the operator moves to another port with the arrow key, and that port is
// held by another program. Closing the old port serves the lines first
// ("Fehler ..."); the new port then refuses to open: the boxes come in that
// order.
TEST_F(ErrorBoxes, FailuresMeetingInOnePassAreShownInTheOrderTheyHappened)
{
    TLinkedPty held{"COM8"};
    ASSERT_TRUE(held.Linked()) << held.Error();
    TComPort otherProgram;
    otherProgram.SetPortNum("COM8");
    otherProgram.Open();

    ChooseFromList("COM7");
    ASSERT_TRUE(form->Session().Port().Connected());
    Click(Ctl<TRadioButton>(form, "Datei_lesen"));
    for (const char* value : {"26", "12", "7"}) {
        Type(value);
        Key(Qt::Key_Return);
    }
    ASSERT_TRUE(Ctl<TButton>(form, "Uebertragen")->isEnabled());
    Click(Ctl<TButton>(form, "Uebertragen"));
    const QString file = dir.filePath("26_12_07.txt");
    // The day's frame waits until the port choice's query has had its time.
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(file) && !form->Session().RequestWaiting(); }, 10000))
        << Ctl<TPathLabel>(form, "Datei")->Path().toStdString();
    ASSERT_TRUE(QFile::remove(file));
    Click(Ctl<TComboBox>(form, "Schnittstelle")->lineEdit());
    // The offscreen platform may hand the focus back a moment after the click.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return QApplication::focusWidget() == Ctl<TComboBox>(form, "Schnittstelle"); }, 5000));

    ASSERT_TRUE(device.pty.WriteAll("0001;07.12.2026 00:15:00;0000012345;00012.345ABCD\r\n"));
    // The event loop is busy elsewhere until the operator's key: the lines'
    // delivery waits.
    pollfd waiting{platform::MainQueue::WakeFd(), POLLIN, 0};
    ASSERT_EQ(poll(&waiting, 1, 10000), 1) << "the line was not delivered";
    Key(Qt::Key_Down);
    ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.Seen().size() >= 2; }, 10000));

    EXPECT_EQ(form->Session().Port().PortNum(), "COM8");
    EXPECT_EQ(boxes.Seen()[0].Text.toStdString(), "Fehler ...");
    EXPECT_EQ(boxes.Seen()[1].Text.toStdString(),
              "COM8 wird von einem anderen Programm benutzt.\n\nUnable to open com port (win error code: 5)");
}

// A port another program holds: the box, titled as every box, says so first,
// in the caption language, with the component's own words below.
TEST_F(ErrorBoxes, APortsBoxSaysFirstWhatHappenedToThePort)
{
    TLinkedPty held{"COM8"};
    ASSERT_TRUE(held.Linked()) << held.Error();
    TComPort otherProgram;
    otherProgram.SetPortNum("COM8");
    otherProgram.Open();

    ChooseFromList("COM8");
    ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.Seen().size() == 1; }, 10000));
    Click(Ctl<QPushButton>(form, "BitBtn2"));
    ChooseFromList("COM8");
    ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.Seen().size() == 2; }, 10000));

    const char* const sentences[] = {"COM8 wird von einem anderen Programm benutzt.",
                                     "COM8 is in use by another program."};
    for (std::size_t i = 0; i < 2; ++i) {
        const auto& box = boxes.Seen()[i];
        EXPECT_EQ(box.Text.toStdString(),
                  std::string(sentences[i]) + "\n\nUnable to open com port (win error code: 5)");
        EXPECT_EQ(box.Title, TApplication::Instance()->Title());
        EXPECT_FALSE(box.Title.isEmpty());
        EXPECT_EQ(box.Icon, QMessageBox::Critical);
    }
    otherProgram.Close();
}

}  // namespace
