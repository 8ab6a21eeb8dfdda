// The README's first two tasks in a real X server, with every click and key
// sent from outside the process by xdotool: the focus and the selection are
// the ones a person gets from the window system, not ones Qt's test events
// arrange. What the device received comes from the simulator's frame log.
// The server is this program's own Xvfb (OperatorX11Main.cpp).

#include "tests/support/WindowControl.h"
#include "OperatorSupport.h"

#include "tooling/testing/ChildProcess.h"

#include <QStandardPaths>

namespace {

using e2e::SentFrame;
using e2e::WaitFor;
using operator_test::DayOfRecords;

class X11Operator : public operator_test::TOperatorTest {
protected:
    void SetUp() override
    {
        xdotool_ = QStandardPaths::findExecutable("xdotool").toStdString();
        ASSERT_FALSE(xdotool_.empty()) << "xdotool is missing (scripts/install-deps.sh installs it)";
        TOperatorTest::SetUp();
    }

    // Runs xdotool to its end while the window goes on serving its events.
    void Xdotool(std::vector<std::string> args)
    {
        platform::ChildProcess tool;
        std::string error;
        ASSERT_TRUE(tool.Start(xdotool_, args, {}, &error)) << error;
        std::optional<platform::ExitStatus> end;
        ASSERT_TRUE(WaitFor([&] { return (end = tool.Wait(0)).has_value(); }, 30000)) << "xdotool hangs";
        ASSERT_TRUE(end->exited && end->code == 0) << "xdotool failed: " << args.front();
    }

    // Moves the pointer onto the spot of the widget and clicks.
    void XClick(QWidget* widget, QPoint at = {}, int clicks = 1)
    {
        ASSERT_TRUE(widget->isVisible()) << widget->objectName().toStdString();
        const QPoint global = widget->mapToGlobal(at.isNull() ? widget->rect().center() : at);
        Xdotool({"mousemove", "--sync", std::to_string(global.x()), std::to_string(global.y()), "click", "--repeat",
                 std::to_string(clicks), "--delay", "60", "1"});
    }
    // Types into whatever holds the keyboard focus, then lets the keys arrive.
    void XType(const char* text, const std::function<bool()>& arrived)
    {
        Xdotool({"type", "--delay", "40", "--", text});
        EXPECT_TRUE(WaitFor(arrived, 10000)) << "typed " << text;
    }
    void XKey(const char* key, const std::function<bool()>& arrived)
    {
        Xdotool({"key", key});
        EXPECT_TRUE(WaitFor(arrived, 10000)) << "pressed " << key;
    }
    // The value typed over the focused field, then Enter, which moves on.
    void XEnter(TEdit* field, const char* text, const char* shown)
    {
        ASSERT_EQ(QApplication::focusWidget(), field) << field->objectName().toStdString();
        XType(text, [&] { return field->text() == text; });
        XKey("Return", [&] { return field->text() == shown && QApplication::focusWidget() != field; });
    }

    void XPickPort()
    {
        TComboBox* box = Ctl<TComboBox>(form, "Schnittstelle");
        Ctl<TPanel>(form, "Modulzeit")->SetCaption(QString());
        XClick(box, QPoint(box->width() - 6, box->height() / 2));
        QAbstractItemView* list = box->view();
        ASSERT_TRUE(WaitFor([&] { return list->isVisible(); }, 10000)) << "the list did not open";
        const int row = box->findText(QString::fromStdString(sim.ComName()));
        ASSERT_GE(row, 0);
        XClick(list->viewport(), list->visualRect(box->model()->index(row, 0)).center());
        ASSERT_TRUE(WaitFor([&] { return !Ctl<TPanel>(form, "Modulzeit")->Caption().isEmpty(); }))
            << "no clock reply " << Boxes();
    }
    void XChoose(TRadioButton* mode)
    {
        XClick(mode);
        ASSERT_TRUE(WaitFor([&] { return mode->Checked(); }, 10000)) << mode->objectName().toStdString();
    }

private:
    std::string xdotool_;
};

TEST_F(X11Operator, ReadAValueThenDownloadTheDayIntoAFolderOpenedByDoubleClick)
{
    XPickPort();
    XChoose(Ctl<TRadioButton>(form, "Wert_lesen"));
    AwaitLastPollReply();
    XEnter(Ctl<TEdit>(form, "MessID"), "12", "0012");
    XEnter(Ctl<TEdit>(form, "JJ"), "26", "26");
    XEnter(Ctl<TEdit>(form, "MM"), "12", "12");
    XEnter(Ctl<TEdit>(form, "TT"), "7", "07");
    XClick(Ctl<TButton>(form, "Uebertragen"));
    ASSERT_TRUE(DeviceReceived(SentFrame("6026_12_070012"))) << Boxes();
    ASSERT_TRUE(WaitFor([&] { return Ctl<TPanel>(form, "ID_Mess")->Caption() == "0012"; })) << Boxes();

    XChoose(Ctl<TRadioButton>(form, "Datei_lesen"));
    TDirectoryListBox* folders = Ctl<TDirectoryListBox>(form, "DirectoryListBox1");
    int row = -1;
    for (int i = 0; i < folders->count(); ++i)
        if (TDirectoryListBox::EntryDirectory(folders->item(i)) == InHome("daten")) row = i;
    ASSERT_GE(row, 0);
    XClick(folders->viewport(), folders->visualItemRect(folders->item(row)).center(), 2);
    ASSERT_TRUE(WaitFor([&] { return QApplication::focusWidget() == Ctl<TEdit>(form, "JJ"); }, 10000));
    EXPECT_EQ(folders->Directory(), InHome("daten"));
    XEnter(Ctl<TEdit>(form, "JJ"), "26", "26");
    XEnter(Ctl<TEdit>(form, "MM"), "12", "12");
    XEnter(Ctl<TEdit>(form, "TT"), "7", "07");
    const QString file = InHome("daten/26_12_07.txt");
    EXPECT_EQ(Ctl<TPathLabel>(form, "Datei")->Path(), file);
    XClick(Ctl<TButton>(form, "Uebertragen"));
    ASSERT_TRUE(DeviceReceived(SentFrame("7026_12_07"))) << Boxes();
    ASSERT_TRUE(StoredLines(operator_test::kRecordsPerDay)) << Boxes();
    EXPECT_EQ(e2e::ReadFileBytes(file.toStdString()), DayOfRecords({2026, 12, 7}));
    EXPECT_TRUE(boxes.Seen().empty()) << Boxes();
}

TEST_F(X11Operator, TabSelectsTheNextFieldAndAClickOnlyPlacesTheCaret)
{
    XPickPort();
    XChoose(Ctl<TRadioButton>(form, "Wert_lesen"));
    XType("42", [&] { return Ctl<TEdit>(form, "MessID")->text() == "42"; });
    XKey("Tab", [&] { return QApplication::focusWidget() == Ctl<TEdit>(form, "JJ"); });
    XType("26", [&] { return Ctl<TEdit>(form, "JJ")->text() == "26"; });
    XKey("shift+Tab", [&] { return QApplication::focusWidget() == Ctl<TEdit>(form, "MessID"); });
    XType("7", [&] { return Ctl<TEdit>(form, "MessID")->text() == "7"; });

    XClick(Ctl<TEdit>(form, "MM"));
    ASSERT_TRUE(WaitFor([&] { return QApplication::focusWidget() == Ctl<TEdit>(form, "MM"); }, 10000));
    EXPECT_FALSE(Ctl<TEdit>(form, "MM")->hasSelectedText());
    // The maximum length refuses the digit; the deletion after it shows it was handled.
    XType("5", [] { return true; });
    XKey("BackSpace", [&] { return Ctl<TEdit>(form, "MM")->text().size() < 2; });
    EXPECT_EQ(Ctl<TEdit>(form, "MM")->text(), "0");
}

}  // namespace
