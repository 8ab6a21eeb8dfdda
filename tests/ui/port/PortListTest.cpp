// The port list as the operator meets it: opening the drop-down reads the
// ports again without touching the port in use, only names the component can
// open are offered, and each entry says which device stands behind it.

#include "tests/support/WindowControl.h"
#include "WindowOnPty.h"

#include "ui/RadioButton.h"

#include <QLineEdit>

#include <filesystem>
#include <functional>

namespace {

QString Described(const char* comName, const TLinkedPty& device)
{
    return QString("%1: %2, pseudo-terminal").arg(comName, QString::fromStdString(device.pty.SlavePath()));
}

class PortList : public TWindowOnPty {
protected:
    QStringList Listed() const
    {
        QStringList names;
        for (int i = 0; i < Ctl<TComboBox>(form, "Schnittstelle")->count(); ++i)
            names << Ctl<TComboBox>(form, "Schnittstelle")->itemText(i);
        return names;
    }
};

TEST_F(PortList, OpeningTheListReadsThePortsAgainAndKeepsThePortInUse)
{
    TComboBox* box = Ctl<TComboBox>(form, "Schnittstelle");
    ClickArrow();
    ASSERT_EQ(QApplication::focusWidget(), box->view());
    // Arrow keys walk the open list; the status bar names the device behind
    // the entry under the highlight, as its tool-tip does.
    for (int i = 0; i < box->count() && box->view()->currentIndex().data().toString() != "COM7"; ++i) Key(Qt::Key_Down);
    EXPECT_EQ(Ctl<QStatusBar>(form, "StatusBar")->currentMessage(), Described("COM7", device));
    EXPECT_EQ(box->itemData(box->findText("COM7"), Qt::ToolTipRole).toString(), Described("COM7", device));
    Key(Qt::Key_Return);
    ASSERT_TRUE(form->Session().Port().Connected());
    EXPECT_EQ(box->Text(), "COM7");
    EXPECT_TRUE(Ctl<QStatusBar>(form, "StatusBar")->currentMessage().isEmpty());  // the list has closed
    // A mode chosen now stays chosen until the next port choice unchecks it.
    TRadioButton* mode = Ctl<TRadioButton>(form, "Wert_lesen");
    QTest::mouseClick(mode, Qt::LeftButton);
    ASSERT_TRUE(mode->Checked());

    // An adapter plugged in while the tool runs, and a link under a name the
    // component would turn into COM1.
    TLinkedPty adapter{"COM9"};
    ASSERT_TRUE(adapter.Linked()) << adapter.Error();
    const std::filesystem::path beyond = platform::PortFolder() + "/COM300";
    std::filesystem::create_symlink(adapter.pty.SlavePath(), beyond);
    const platform::HANDLE handle = form->Session().Port().Handle();

    ClickArrow();
    EXPECT_TRUE(Listed().contains("COM9")) << Listed().join(' ').toStdString();
    EXPECT_FALSE(Listed().contains("COM300", Qt::CaseInsensitive));
    EXPECT_EQ(box->itemData(box->findText("COM9"), Qt::ToolTipRole).toString(), Described("COM9", adapter));
    EXPECT_EQ(box->Text(), "COM7");
    EXPECT_EQ(box->view()->currentIndex().data().toString(), "COM7");
    Key(Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([box] { return !box->view()->isVisible(); }, 5000));

    // The refresh chose nothing: the same port is still open under its name.
    EXPECT_TRUE(mode->Checked());
    EXPECT_TRUE(form->Session().Port().Connected());
    EXPECT_EQ(form->Session().Port().Handle(), handle);
    EXPECT_EQ(form->Session().Port().PortNum(), "COM7");
    EXPECT_EQ(box->Text(), "COM7");
    std::filesystem::remove(beyond);

    // The device's link goes away: its entry leaves the list, while the field
    // still names the port that stays open.
    platform::UnlinkPort("COM7");
    ClickArrow();
    EXPECT_FALSE(Listed().contains("COM7"));
    EXPECT_EQ(box->Text(), "COM7");
    Key(Qt::Key_Escape);
    EXPECT_TRUE(mode->Checked());
    EXPECT_EQ(form->Session().Port().Handle(), handle);
}

// The status bar carries news the list must not erase: here the port
// doctor's advice for a port another program holds. While the list is open
// the highlighted entry is described; closing it, opened by a click or by
// the keyboard, brings the news back.
TEST_F(PortList, ClosingTheListShowsTheStatusBarsNewsAgain)
{
    TLinkedPty held{"COM8"};
    ASSERT_TRUE(held.Linked()) << held.Error();
    TComPort otherProgram;
    otherProgram.SetPortNum("COM8");
    otherProgram.Open();
    TBoxWatcher boxes;
    ChooseFromList("COM8");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !boxes.Seen().empty(); }, 5000));
    const QString news = Ctl<QStatusBar>(form, "StatusBar")->currentMessage();
    ASSERT_TRUE(news.startsWith("COM8 (")) << news.toStdString();

    TComboBox* box = Ctl<TComboBox>(form, "Schnittstelle");
    const auto openByKeyboard = [&] {
        Click(box->lineEdit());
        Key(Qt::Key_F4);
    };
    const std::function<void()> openings[] = {[&] { ClickArrow(); }, openByKeyboard};
    for (const auto& open : openings) {
        open();
        ASSERT_TRUE(QTest::qWaitFor([box] { return box->view()->isVisible(); }, 5000));
        Key(Qt::Key_Up);
        EXPECT_EQ(Ctl<QStatusBar>(form, "StatusBar")->currentMessage(), Described("COM7", device));
        Key(Qt::Key_Escape);
        ASSERT_TRUE(QTest::qWaitFor([box] { return !box->view()->isVisible(); }, 5000));
        EXPECT_EQ(Ctl<QStatusBar>(form, "StatusBar")->currentMessage(), news);
    }
    EXPECT_EQ(boxes.Seen().size(), 1u);
    otherProgram.Close();
}

// Adapters plugged in after the list was last read are there for the arrow
// keys and for typing too, not only once the list has been opened.
TEST_F(PortList, APortPluggedInLaterIsReachedWithTheArrowKeysAndByTyping)
{
    ChooseFromList("COM7");
    ASSERT_TRUE(form->Session().Port().Connected());
    TComboBox* box = Ctl<TComboBox>(form, "Schnittstelle");

    TLinkedPty next{"COM8"};
    ASSERT_TRUE(next.Linked()) << next.Error();
    Click(box->lineEdit());
    Key(Qt::Key_Down);
    EXPECT_EQ(box->Text(), "COM8");
    EXPECT_EQ(form->Session().Port().PortNum(), "COM8");
    EXPECT_TRUE(form->Session().Port().Connected());
    EXPECT_EQ(box->itemData(box->findText("COM8"), Qt::ToolTipRole).toString(), Described("COM8", next));

    // The operator changes the number in the field: "COM8" becomes "COM9".
    TLinkedPty adapter{"COM9"};
    ASSERT_TRUE(adapter.Linked()) << adapter.Error();
    Key(Qt::Key_End);
    Key(Qt::Key_Backspace);
    Type("9");
    EXPECT_EQ(box->Text(), "COM9");
    EXPECT_EQ(form->Session().Port().PortNum(), "COM9");
    EXPECT_TRUE(form->Session().Port().Connected());
    EXPECT_EQ(box->itemData(box->findText("COM9"), Qt::ToolTipRole).toString(), Described("COM9", adapter));
}

// A name typed that no port answers to: Enter says so in the status bar, in
// the caption language, and the field shows the port in use again.
TEST_F(PortList, ANameTypedThatIsNotListedIsReportedAndThePortInUseStays)
{
    ChooseFromList("COM7");
    ASSERT_TRUE(form->Session().Port().Connected());
    TComboBox* box = Ctl<TComboBox>(form, "Schnittstelle");
    Click(box->lineEdit());
    Key(Qt::Key_End);
    Key(Qt::Key_Backspace);
    Type("5");
    ASSERT_EQ(box->Text(), "COM5");
    Key(Qt::Key_Return);

    EXPECT_EQ(Ctl<QStatusBar>(form, "StatusBar")->currentMessage(), "Keine Schnittstelle COM5 angeschlossen");
    EXPECT_EQ(box->Text(), "COM7");
    EXPECT_EQ(form->Session().Port().PortNum(), "COM7");
    EXPECT_TRUE(form->Session().Port().Connected());

    Click(Ctl<QPushButton>(form, "BitBtn2"));
    EXPECT_EQ(Ctl<QStatusBar>(form, "StatusBar")->currentMessage(), "No port COM5 is connected");
    Click(Ctl<QPushButton>(form, "BitBtn1"));
    EXPECT_EQ(Ctl<QStatusBar>(form, "StatusBar")->currentMessage(), "Keine Schnittstelle COM5 angeschlossen");
}

}  // namespace
