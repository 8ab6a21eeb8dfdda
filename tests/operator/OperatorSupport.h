#pragma once
// A person at the tool: the simulated device runs before the tool starts,
// the tool starts in a home folder of its own (holding the folder "daten"),
// and the test does only what a person can do with what the window shows:
// mouse clicks on visible controls and key presses into whatever holds the
// focus. It looks at the window's state, the simulator's frame log and the
// files written.
//
// The input here is Qt's own (offscreen, in-process); OperatorX11Test.cpp
// sends the same acts through a real X server from outside the process.

#include "tests/support/WindowControl.h"
#include "E2eSupport.h"

#include "sim/Records.h"

#include <QAbstractItemView>
#include <QDir>
#include <QListWidget>
#include <QTemporaryDir>

#include <string>
#include <vector>

namespace operator_test {

using e2e::WaitFor;

inline constexpr int kRecordsPerDay = 20;

// The day's records, exactly as the readout file must hold them.
inline std::string DayOfRecords(const sim::DateTime& day, int perDay = kRecordsPerDay)
{
    std::string lines;
    for (int n = 1; n <= perDay; ++n) {
        const std::string body = sim::RecordBody(day, n, {perDay, 0});
        lines += body + ChecksumText(GetChecksumme(body, std::int32_t(body.size()))) + "\r\n";
    }
    return lines;
}

// Where the tool starts: in its home folder, or in a folder of it that was
// deleted before the start (the system then knows no current folder).
enum class TStartFolder { Home, Deleted };

// Folders of the home folder, their names in three scripts (UTF-8).
inline const char* const kHomeFolders[] = {"daten", "Łódź", "Москва"};

// What exists before the window does: the home folder it starts in and the
// device on its port, so the port list read at start names it.
class TSetting {
protected:
    explicit TSetting(TStartFolder start = TStartFolder::Home) : saved_(QDir::currentPath())
    {
        EXPECT_TRUE(homeDir_.isValid());
        home = QDir(homeDir_.path()).canonicalPath();
        for (const char* folder : kHomeFolders) EXPECT_TRUE(QDir(home).mkdir(QString::fromUtf8(folder)));
        QDir::setCurrent(home);
        if (start == TStartFolder::Deleted) {
            EXPECT_TRUE(QDir(home).mkdir("weg") && QDir::setCurrent(home + "/weg") && QDir(home).rmdir("weg"));
        }
        sim.Start({"--records", std::to_string(kRecordsPerDay)});
    }
    ~TSetting() { QDir::setCurrent(saved_); }

    QString home;
    e2e::TSimulator sim;

private:
    QTemporaryDir homeDir_;
    QString saved_;
};

class TOperatorTest : public TSetting, public e2e::TWindowTest {
protected:
    explicit TOperatorTest(TStartFolder start = TStartFolder::Home) : TSetting(start) {}

    void SetUp() override
    {
        TWindowTest::SetUp();
        ASSERT_FALSE(sim.ComName().empty());
    }

    // Opens the port list with a click on its arrow, clicks the device's
    // entry and waits for its clock reply.
    void PickPort() { Connect(sim); }

    // Types the text into the focused field and presses Enter.
    static void Enter(const char* text)
    {
        Type(text);
        Press(Qt::Key_Return);
    }

    // Double-clicks the folder's entry in the folder list.
    void DoubleClickFolder(const QString& path)
    {
        QListWidget* list = Ctl<TDirectoryListBox>(form, "DirectoryListBox1");
        for (int i = 0; i < list->count(); ++i) {
            if (TDirectoryListBox::EntryDirectory(list->item(i)) != path) continue;
            const QPoint at = list->visualItemRect(list->item(i)).center();
            Click(list->viewport(), at);
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
            return;
        }
        ADD_FAILURE() << path.toStdString() << " is not in the folder list";
    }

    // The clock poll's query has just gone out: its answer is on its way.
    void AwaitPollQuery()
    {
        ASSERT_TRUE(Ctl<TTimer>(form, "Timer1")->Enabled());
        ASSERT_TRUE(WaitFor([&] { return Ctl<QLabel>(form, "Rueckgabe")->text() == "806412"; })) << "no poll";
    }

    bool DeviceReceived(const std::string& frame) const
    {
        return WaitFor([&] { return sim.Received(e2e::Logged(frame)); });
    }
    bool StoredLines(int count) const
    {
        return WaitFor([&] { return form->Session().Request().Tally.StoredLines() >= count; });
    }
    QString InHome(const char* name) const { return home + "/" + QString::fromUtf8(name); }

    // The simulated device started again on the same port, with these options
    // besides its records.
    void RestartDevice(std::vector<std::string> options)
    {
        const std::string port = sim.ComName();
        sim.Stop();
        options.insert(options.begin(), {"--records", std::to_string(kRecordsPerDay)});
        ASSERT_TRUE(sim.Start(options, port));
    }
};

}  // namespace operator_test
