// The port doctor as the operator meets it: a port picked in the list will
// not open, the error box says what the serial layer says, and the status
// bar says what to do, in the caption language, until a port opens. On real
// parts: a port another process holds, a link whose device has gone, and, as
// an unprivileged user (as root the test runs itself again as "nobody"),
// device nodes this user may not open and a port a killed holder left locked.

#include "tests/support/WindowControl.h"
#include "UiTestSupport.h"

#include "tooling/testing/ChildProcess.h"
#include "tests/support/LinkedPty.h"
#include "tests/support/PortListClick.h"
#include "ui/Application.h"
#include "ui/ComboBox.h"

#include <QCoreApplication>
#include <QStatusBar>

#include <gtest/gtest.h>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace {

constexpr int kPatienceMs = 20000;

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

class PortDoctor : public testing::Test {
protected:
    void SetUp() override { TApplication::ReportSuccess(); }

    // Starts the window once the test's ports are linked: it lists them.
    void StartWindow()
    {
        holder_ = std::make_unique<TFormHolder<TSDIAppForm>>(FixedTestTime);
        form = holder_->get();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    }

    // Opens the port list with the mouse and clicks the entry; `beforeClick`
    // runs while the list is open.
    void Choose(const std::string& comName, const std::function<void()>& beforeClick = {})
    {
        ClickPortListEntry(Ctl<TComboBox>(form, "Schnittstelle"), comName, beforeClick);
    }

    // Chooses the port and expects its error box: what happened to the port,
    // then the serial layer's text.
    void ChooseAndExpectBox(const std::string& comName, const QString& boxText,
                            const std::function<void()>& beforeClick = {})
    {
        const std::size_t before = boxes.Seen().size();
        ASSERT_NO_FATAL_FAILURE(Choose(comName, beforeClick));
        ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.Seen().size() > before; }, kPatienceMs)) << "no error box";
        EXPECT_EQ(boxes.Seen().back().Text.toStdString(), boxText.toStdString());
        EXPECT_FALSE(form->Session().Port().Connected());
    }

    // The status bar's text now, in German and after the English flag, and
    // back in German after the German flag.
    void ExpectAdvice(const QString& german, const QString& english)
    {
        EXPECT_EQ(StatusText(), german.toStdString());
        QTest::mouseClick(Ctl<QPushButton>(form, "BitBtn2"), Qt::LeftButton);
        EXPECT_EQ(StatusText(), english.toStdString());
        QTest::mouseClick(Ctl<QPushButton>(form, "BitBtn1"), Qt::LeftButton);
        EXPECT_EQ(StatusText(), german.toStdString());
    }

    std::string StatusText() const { return Ctl<QStatusBar>(form, "StatusBar")->currentMessage().toStdString(); }

    // porthold, holding the port until it is told to end.
    static void StartHolder(platform::ChildProcess& holder, const std::string& comName)
    {
        std::string error;
        ASSERT_TRUE(holder.Start(PORTHOLD_PATH, {comName}, {}, &error)) << error;
        ASSERT_EQ(holder.ReadLine(kPatienceMs), std::optional<std::string>("held"));
    }

    TBoxWatcher boxes;
    TSDIAppForm* form = nullptr;

private:
    std::unique_ptr<TFormHolder<TSDIAppForm>> holder_;
};

TEST_F(PortDoctor, PortHeldByAnotherProcessNamesItUntilThePortOpens)
{
    TLinkedPty device("COM6");
    ASSERT_TRUE(device.Linked()) << device.Error();
    auto holder = std::make_unique<platform::ChildProcess>();
    ASSERT_NO_FATAL_FAILURE(StartHolder(*holder, "COM6"));
    ASSERT_NO_FATAL_FAILURE(StartWindow());

    ASSERT_NO_FATAL_FAILURE(ChooseAndExpectBox("COM6", "COM6 wird von einem anderen Programm benutzt.\n\n"
                                                       "Unable to open com port (win error code: 5)"));
    const QString pts = Q(device.pty.SlavePath());
    const int pid = holder->Pid();
    ExpectAdvice(QStringLiteral("COM6 (%1) wird von porthold (PID %2) benutzt.").arg(pts).arg(pid),
                 QStringLiteral("COM6 (%1) is in use by porthold (PID %2).").arg(pts).arg(pid));

    // The other program ends as programs do, closing its port.
    ASSERT_TRUE(holder->Send(platform::ChildProcess::Signal::Terminate));
    const auto ended = holder->Wait(kPatienceMs);
    ASSERT_TRUE(ended && ended->exited && ended->code == 0) << "porthold did not close its port";
    ASSERT_NO_FATAL_FAILURE(Choose("COM6"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Session().Port().Connected(); }, kPatienceMs));
    EXPECT_EQ(StatusText(), "");
    QTest::mouseClick(Ctl<QPushButton>(form, "BitBtn2"), Qt::LeftButton);  // nor does a language switch bring it back
    EXPECT_EQ(StatusText(), "");
}

TEST_F(PortDoctor, PortWhoseDeviceWentAwaySaysNoDevice)
{
    auto device = std::make_unique<TLinkedPty>("COM5");
    ASSERT_TRUE(device->Linked()) << device->Error();
    ASSERT_NO_FATAL_FAILURE(StartWindow());

    // The adapter is pulled while the list is open: the link leads to nothing.
    ASSERT_NO_FATAL_FAILURE(ChooseAndExpectBox(
        "COM5", "An COM5 ist kein Ger\u00e4t angeschlossen.\n\nUnable to open com port (win error code: 2)",
        [&] { device->pty.CloseMaster(); }));
    ExpectAdvice(QStringLiteral("COM5: kein Ger\u00e4t. Steckt der Adapter?"),
                 QStringLiteral("COM5: no device. Is the adapter plugged in?"));
}

// The device nodes that refuse this user: TORNVALE_REFUSED_NODE_000, a node
// with mode 000 (made here when not given), and TORNVALE_REFUSED_NODE_660,
// a node of root and the group tty that its group may open (only root can
// make one).
TEST_F(PortDoctor, RefusedDeviceNodesAsThisUser)
{
    if (geteuid() == 0) GTEST_SKIP() << "root may open any device node; UnprivilegedCasesAsNobody runs this as nobody";
    std::unique_ptr<platform::PseudoTerminal> own;
    std::string closed = qEnvironmentVariable("TORNVALE_REFUSED_NODE_000").toStdString();
    if (closed.empty()) {
        own = std::make_unique<platform::PseudoTerminal>();
        ASSERT_TRUE(own->IsOpen());
        closed = own->SlavePath();
        ASSERT_EQ(chmod(closed.c_str(), 0), 0);
    }
    struct stat node {};
    ASSERT_EQ(stat(closed.c_str(), &node), 0);
    const QString owner = Q(getpwuid(node.st_uid)->pw_name) + ':' + Q(getgrgid(node.st_gid)->gr_name);
    const std::string groupNode = qEnvironmentVariable("TORNVALE_REFUSED_NODE_660").toStdString();

    std::string error;
    ASSERT_TRUE(platform::EnsurePortFolder(&error) && platform::LinkPort("COM8", closed, &error)) << error;
    if (!groupNode.empty()) {
        ASSERT_TRUE(platform::LinkPort("COM9", groupNode, &error)) << error;
    }
    ASSERT_NO_FATAL_FAILURE(StartWindow());

    ASSERT_NO_FATAL_FAILURE(ChooseAndExpectBox("COM8", "Der Zugriff auf COM8 wird verweigert.\n\n"
                                                       "Unable to open com port (win error code: 5)"));
    // No group would help: the mode shuts out everyone but root.
    ExpectAdvice(QStringLiteral("Keine Berechtigung f\u00fcr %1 (000 %2). Abhilfe: den Zugriff auf das Ger\u00e4t "
                                "von einem Administrator freigeben lassen.")
                     .arg(Q(closed), owner),
                 QStringLiteral("No permission for %1 (000 %2). Fix: have an administrator grant access to the "
                                "device.")
                     .arg(Q(closed), owner));
    if (groupNode.empty()) {
        std::printf("note: the group case needs a device node of another owner; it runs when root runs the tests\n");
        return;
    }
    // The node's group is tty; the advice names it, not dialout.
    ASSERT_NO_FATAL_FAILURE(ChooseAndExpectBox("COM9", "Der Zugriff auf COM9 wird verweigert.\n\n"
                                                       "Unable to open com port (win error code: 5)"));
    ExpectAdvice(
        QStringLiteral("Keine Berechtigung f\u00fcr %1. Abhilfe: sudo usermod -aG tty $USER, danach neu anmelden.")
            .arg(Q(groupNode)),
        QStringLiteral("No permission for %1. Fix: sudo usermod -aG tty $USER, then log in again.").arg(Q(groupNode)));
}

// A holder killed hard leaves a pseudo-terminal locked to all but root while
// its master side stays open: the advice says so and names the program that
// provides the port, here this test.
TEST_F(PortDoctor, PortLeftLockedByAKilledHolderAsThisUser)
{
    if (geteuid() == 0) GTEST_SKIP() << "root opens a locked port; UnprivilegedCasesAsNobody runs this as nobody";
    TLinkedPty device("COM7");
    ASSERT_TRUE(device.Linked()) << device.Error();
    platform::ChildProcess holder;
    ASSERT_NO_FATAL_FAILURE(StartHolder(holder, "COM7"));
    ASSERT_TRUE(holder.Send(platform::ChildProcess::Signal::Kill));
    const auto killed = holder.Wait(kPatienceMs);
    ASSERT_TRUE(killed && !killed->exited);
    ASSERT_NO_FATAL_FAILURE(StartWindow());

    ASSERT_NO_FATAL_FAILURE(ChooseAndExpectBox("COM7", "COM7 wird von einem anderen Programm benutzt.\n\n"
                                                       "Unable to open com port (win error code: 5)"));
    const QString pts = Q(device.pty.SlavePath());
    const int self = getpid();
    ExpectAdvice(QStringLiteral("COM7 (%1) ist noch von einem beendeten Programm gesperrt. Abhilfe: das Programm "
                                "doctor_tests (PID %2), das die Schnittstelle bereitstellt, neu starten.")
                     .arg(pts)
                     .arg(self),
                 QStringLiteral("COM7 (%1) is still locked by a program that has ended. Fix: restart doctor_tests "
                                "(PID %2), the program that provides the port.")
                     .arg(pts)
                     .arg(self));
}

TEST(PortDoctorAsRoot, UnprivilegedCasesAsNobody)
{
    if (geteuid() != 0) GTEST_SKIP() << "not root: the cases ending in AsThisUser run as this user";
    const passwd* nobody = getpwnam("nobody");
    const std::string self = QCoreApplication::applicationFilePath().toStdString();
    if (!nobody || access("/usr/bin/setpriv", X_OK) != 0)
        GTEST_SKIP() << "no user nobody or no setpriv: cannot run as an unprivileged user";
    const std::vector<std::string> asNobody = {"--reuid=" + std::to_string(nobody->pw_uid),
                                               "--regid=" + std::to_string(nobody->pw_gid), "--clear-groups", "--"};
    platform::ChildProcess probe;
    std::vector<std::string> probeArgs = asNobody;
    probeArgs.insert(probeArgs.end(), {"test", "-x", self});
    ASSERT_TRUE(probe.Start("/usr/bin/setpriv", probeArgs));
    const auto probed = probe.Wait(kPatienceMs);
    if (!probed || !probed->exited || probed->code != 0)
        GTEST_SKIP() << "nobody may not run " << self << " (a folder on its path is closed to others)";

    platform::PseudoTerminal closed, groupOnly;
    ASSERT_TRUE(closed.IsOpen() && groupOnly.IsOpen());
    ASSERT_EQ(chmod(closed.SlavePath().c_str(), 0), 0);
    // Like /dev/ttyUSB0 (crw-rw---- root:dialout), in another group than dialout.
    const group* tty = getgrnam("tty");
    ASSERT_NE(tty, nullptr);
    ASSERT_EQ(chown(groupOnly.SlavePath().c_str(), 0, tty->gr_gid), 0);
    ASSERT_EQ(chmod(groupOnly.SlavePath().c_str(), 0660), 0);

    std::vector<std::string> args = asNobody;
    args.insert(args.end(), {self, "--gtest_filter=PortDoctor.*AsThisUser"});
    platform::ChildProcess run;
    ASSERT_TRUE(run.Start("/usr/bin/setpriv", args,
                          {{"TORNVALE_REFUSED_NODE_000", closed.SlavePath()},
                           {"TORNVALE_REFUSED_NODE_660", groupOnly.SlavePath()},
                           {"HOME", "/tmp"}}));
    std::string output;
    while (const auto line = run.ReadLine(kPatienceMs * 3)) output += *line + "\n";
    const auto status = run.Wait(kPatienceMs);
    ASSERT_TRUE(status && status->exited) << output;
    EXPECT_EQ(status->code, 0) << output;
    EXPECT_NE(output.find("[  PASSED  ] 2 tests."), std::string::npos) << output;
    EXPECT_EQ(output.find("SKIPPED"), std::string::npos) << output;
}

}  // namespace
