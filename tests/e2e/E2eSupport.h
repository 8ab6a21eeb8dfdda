#pragma once
// The whole tool end to end: the real main window (offscreen) on a clock the
// test sets, the real qdtr25-sim program on a pseudo-terminal in the test
// process's private port folder, and the simulator's frame log, which shows
// exactly what the window sent.

#include "tests/support/WindowControl.h"
#include "UiTestSupport.h"

#include "exchange/Checksum.h"
#include "exchange/DeviceSession.h"
#include "tooling/testing/ChildProcess.h"
#include "platform/PortFolder.h"
#include "portlist/AnsiText.h"
#include "ui/Application.h"
#include "ui/ComboBox.h"
#include "ui/DirectoryChooser.h"
#include "ui/DriveChooser.h"
#include "ui/PathLabel.h"
#include "ui/Edit.h"
#include "ui/FrameLabel.h"
#include "ui/RadioButton.h"
#include "ui/Timer.h"
#include "tests/support/PortListClick.h"
#include "tests/support/SimulatorProcess.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QStatusBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace e2e {

// Generous: sanitizer builds on a busy two-core machine.
inline constexpr int kPatienceMs = 60000;

inline bool WaitFor(const std::function<bool()>& done, int timeoutMs = kPatienceMs)
{
    return QTest::qWaitFor(done, timeoutMs);
}

inline std::string ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// A frame as the simulator's log writes it: control characters named.
inline std::string Logged(const std::string& frame)
{
    std::string out;
    for (const unsigned char c : frame) {
        switch (c) {
        case 0x02: out += "<STX>"; break;
        case 0x03: out += "<ETX>"; break;
        case 0x0D: out += "<CR>"; break;
        case 0x0A: out += "<LF>"; break;
        default:
            if (c < 0x20 || c >= 0x7F || c == '<') {
                char hex[8];
                std::snprintf(hex, sizeof hex, "<%02X>", c);
                out += hex;
            } else {
                out += char(c);
            }
        }
    }
    return out;
}

// STX, payload, its checksum, ETX, CR: a frame as the device expects it.
inline std::string SentFrame(const std::string& payload)
{
    return "\x02" + payload + ChecksumText(GetChecksumme(payload, std::int32_t(payload.size()))) + "\x03\r";
}

inline const std::string kPollFrameLogged = "<STX>806412<ETX><CR>";

// qdtr25-sim as a child process, its frames logged to a file.
class TSimulator : public testsupport::TSimulatorProcess {
public:
    // The frames other than the clock poll's.
    std::vector<std::string> FramesBesidesPoll() const
    {
        std::vector<std::string> frames;
        for (std::string& frame : Frames())
            if (frame != kPollFrameLogged) frames.push_back(std::move(frame));
        return frames;
    }
    bool Received(const std::string& logged) const
    {
        const auto frames = Frames();
        return std::find(frames.begin(), frames.end(), logged) != frames.end();
    }
};

// The window on a clock the test sets, shown and active (keyboard focus is
// real only in the active window), every box read and closed.
class TWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        TApplication::ReportSuccess();  // a fresh error episode
        form->show();
        // The offscreen platform now and then lets an activation request
        // pass while the last test's window goes; asking again settles it.
        for (int attempt = 0; attempt < 3 && !form->isActiveWindow(); ++attempt) {
            form->raise();
            form->activateWindow();
            if (QTest::qWaitForWindowActive(form.get())) break;
        }
        ASSERT_TRUE(form->isActiveWindow());
        savedDirectory_ = QDir::currentPath();
    }
    // The window goes while the device is still there, and what its last
    // moments handed to the error display is handled here, not in the next test.
    void TearDown() override
    {
        form.Reset();
        QCoreApplication::sendPostedEvents();
        QDir::setCurrent(savedDirectory_);
    }

    // Opens the port list with a click on its arrow (the list is read again
    // as it opens) and clicks the entry, as the operator does.
    void ChoosePort(const std::string& comName)
    {
        Activate(Ctl<TComboBox>(form, "Schnittstelle"));
        ClickPortListEntry(Ctl<TComboBox>(form, "Schnittstelle"), comName);
    }
    // Chooses the port and waits for the device's clock reply.
    void Connect(const TSimulator& sim)
    {
        Ctl<TPanel>(form, "Modulzeit")->SetCaption(QString());
        ChoosePort(sim.ComName());
        ASSERT_TRUE(form->Session().Port().Connected()) << Boxes();
        ASSERT_TRUE(WaitFor([&] { return !Ctl<TPanel>(form, "Modulzeit")->Caption().isEmpty(); })) << "no clock reply";
    }

    // Keys go where the keyboard sends them: to the widget holding the focus.
    static void Type(const char* text)
    {
        if (QWidget* focus = KeyboardFocus()) QTest::keyClicks(focus, QString::fromLatin1(text));
    }
    static void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        if (QWidget* focus = KeyboardFocus()) QTest::keyClick(focus, key, modifiers);
    }
    static QWidget* KeyboardFocus()
    {
        QWidget* focus = QApplication::focusWidget();
        if (!focus) ADD_FAILURE() << "no widget holds the keyboard focus";
        return focus;
    }

    // Types the text and presses Enter, as the operator does in the field the
    // focus has come to (by a mode choice, the commit before, or Reach). The
    // field's own selection decides whether the text replaces its value.
    void Commit(TEdit* field, const char* text)
    {
        if (QApplication::focusWidget() != field) {
            const QWidget* at = QApplication::focusWidget();
            ADD_FAILURE() << "the focus is not in " << field->objectName().toStdString() << " but in "
                          << (at ? at->objectName().toStdString() : std::string("nothing"));
            return;
        }
        Type(text);
        Press(Qt::Key_Return);
    }
    // Goes to a field off the focus path as a person does: a click puts the
    // caret into it, Ctrl+A selects its value.
    void Reach(TEdit* field)
    {
        ASSERT_FALSE(Covered(field)) << field->objectName().toStdString() << " cannot be seen";
        Click(field);
        Press(Qt::Key_A, Qt::ControlModifier);
    }
    // A click on a window that is not the active one (after a box has
    // closed, the offscreen platform may leave none active) makes it active,
    // as the window system does.
    void Click(QWidget* control, QPoint at = {})
    {
        Activate(control);
        QTest::mouseClick(control, Qt::LeftButton, {}, at);
    }
    static void Activate(QWidget* control)
    {
        QWidget* window = control->window();
        if (!window->isActiveWindow()) {
            window->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(window)) << "the window cannot be made active";
        }
    }

    std::string Frame() const { return AnsiFromQString(Ctl<TFrameLabel>(form, "Ergebnis4")->text()); }

    // The error boxes seen so far, for failure messages.
    std::string Boxes() const
    {
        std::string texts;
        for (const auto& box : boxes.Seen()) texts += "[" + box.Text.toStdString() + "] ";
        return texts;
    }

    // Reads the records' day into a fresh folder: returns the file's path.
    std::string DownloadDay(const char* yy, const char* mm, const char* dd)
    {
        Ctl<TDirectoryListBox>(form, "DirectoryListBox1")
            ->SetDirectory(readoutDir.path());  // runs "Datei lesen" when it changes
        Click(Ctl<TRadioButton>(form, "Datei_lesen"));
        AwaitLastPollReply();
        Commit(Ctl<TEdit>(form, "JJ"), yy);
        Commit(Ctl<TEdit>(form, "MM"), mm);
        Commit(Ctl<TEdit>(form, "TT"), dd);
        EXPECT_TRUE(Ctl<TButton>(form, "Uebertragen")->isEnabled());
        const std::string file = QFile::encodeName(Ctl<TPathLabel>(form, "Datei")->Path()).toStdString();
        Click(Ctl<TButton>(form, "Uebertragen"));
        return file;
    }

    // Once the poll is stopped, a reply to its last query may still be on
    // its way; sent before the next frame's purge, it would be taken as that
    // frame's answer. A tick shows its query in Rueckgabe until the reply.
    void AwaitLastPollReply()
    {
        ASSERT_FALSE(Ctl<TTimer>(form, "Timer1")->Enabled());
        ASSERT_TRUE(WaitFor([&] { return Ctl<QLabel>(form, "Rueckgabe")->text() != "806412"; }))
            << "the poll's reply never came";
    }

    QDateTime now = QDateTime(QDate(2026, 12, 7), QTime(3, 14, 15));
    TFormHolder<TSDIAppForm> form{[this] { return now; }};
    TBoxWatcher boxes;
    QTemporaryDir readoutDir;

private:
    QString savedDirectory_;
};

}  // namespace e2e
