// The device killed and restarted again and again while the window's clock
// poll runs: no crash, no hang, at most one error box per episode, the port
// choosable again each time, and descriptors and threads back to their
// counts after every cycle. TORNVALE_RESTART_CYCLES sets the number of
// cycles (10 here; "make soak" runs 100).
//
// The window-level test needs the window's port selection and poll; until
// they do anything it skips, and the same cycle runs below the window, on
// CPort1 itself, with the poll's purge and write done by the test.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdlib>
#include <optional>

#include "exchange/Checksum.h"
#include "tooling/testing/ChildProcess.h"
#include "platform/MainThread.h"

#include <QThreadPool>
#include "platform/PortFolder.h"
#include "tooling/testing/ProcessStats.h"
#include "tooling/testing/StrictLoss.h"
#include "tests/support/LossCodes.h"
#include "serial/CPort1Settings.h"
#include "ui/Application.h"
#include "ui/SDIMain.h"

namespace {

constexpr int kPatience = 20000;

int Cycles()
{
    const char* text = std::getenv("TORNVALE_RESTART_CYCLES");
    return text ? std::max(1, std::atoi(text)) : 10;
}

bool ServeUntil(const std::function<bool()>& done, int timeoutMs = kPatience)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// The simulated device as a separate process under one COM name throughout.
class Device {
public:
    bool Start(const std::string& comName = {})
    {
        process_ = std::make_unique<platform::ChildProcess>();
        const std::vector<std::string> args = {"--port", comName.empty() ? "auto" : comName, "--clock", "pc"};
        if (!process_->Start(QDTR25_SIM_PATH, args)) return false;
        const auto line = process_->ReadLine(kPatience);
        if (!line) return false;
        comName_ = line->substr(0, line->find(' '));
        return true;
    }
    // Killed as by a crash or a pulled plug: no chance to tidy up. Its port
    // link is then removed as the device node of a pulled plug goes away:
    // left behind, it could name another program's pseudo-terminal by the
    // time the device comes back (terminal numbers are reused machine-wide).
    void Kill()
    {
        process_->Send(platform::ChildProcess::Signal::Kill);
        process_->Wait(kPatience);
        platform::UnlinkPort(comName_);
    }
    const std::string& ComName() const { return comName_; }

private:
    std::unique_ptr<platform::ChildProcess> process_;
    std::string comName_;
};

// Closes every error box that opens, as an operator clicking OK would, and
// counts them.
class BoxCloser {
public:
    BoxCloser()
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts.push_back(box->text());
                box->accept();
            }
        });
        timer_.start(20);
    }
    std::vector<QString> texts;

private:
    QTimer timer_;
};

struct Counts {
    int fds, threads;
};
Counts Now()
{
    return {platform::OpenFileDescriptorCount(), platform::ThreadCount()};
}

class DeviceRestart : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(runtime_.isValid());
        qputenv("XDG_RUNTIME_DIR", runtime_.path().toLocal8Bit());
    }
    QTemporaryDir runtime_;
};

TEST_F(DeviceRestart, WindowSurvivesTheDeviceComingAndGoing)
{
    // Qt's drawing starts pooled threads that end after 30 s idle; keep them
    // for the whole run so the counts speak only of the port.
    QThreadPool::globalInstance()->setExpiryTimeout(-1);
    Device device;
    ASSERT_TRUE(device.Start());
    BoxCloser boxes;
    QPointer<TSDIAppForm> form = new TSDIAppForm();
    form->show();
    auto* ports = form->findChild<QComboBox*>(QStringLiteral("Schnittstelle"));
    ASSERT_NE(ports, nullptr);
    const int index = ports->findText(QString::fromStdString(device.ComName()));
    ASSERT_GE(index, 0) << "the device's port is not in the list";
    auto* clock = form->findChild<QWidget*>(QStringLiteral("Modulzeit"));

    // Picks the entry from the list, as with the mouse (also when it is the
    // entry chosen already).
    auto choosePort = [&] {
        ports->setCurrentIndex(index);
        emit ports->activated(index);
    };
    auto clockAnswered = [&] {
        clock->setProperty("text", QString());
        return ServeUntil([&] { return !clock->property("text").toString().isEmpty(); });
    };

    choosePort();
    if (!ServeUntil([&] { return form->Session().Port().Connected(); }, 3000)) {
        delete form.data();
        GTEST_SKIP() << "the window's port selection does not open the port yet";
    }
    ASSERT_TRUE(clockAnswered()) << "no clock reply before the first restart";
    const Counts start = Now();

    for (int cycle = 0; cycle < Cycles(); ++cycle) {
        SCOPED_TRACE("cycle " + std::to_string(cycle));
        const std::size_t boxesBefore = boxes.texts.size();
        device.Kill();
        // Three poll ticks against the dead device.
        QElapsedTimer dead;
        dead.start();
        ServeUntil([&] { return dead.elapsed() > 3200; }, 10000);
        EXPECT_LE(boxes.texts.size() - boxesBefore, 1u) << "more than one error box for one episode";

        ASSERT_TRUE(device.Start(device.ComName()));
        choosePort();
        ASSERT_TRUE(ServeUntil([&] { return form->Session().Port().Connected(); }))
            << "the port cannot be chosen again";
        ASSERT_TRUE(clockAnswered()) << "no clock reply after the restart";
        const Counts now = Now();
        EXPECT_EQ(now.fds, start.fds);
        EXPECT_EQ(now.threads, start.threads);
    }
    delete form.data();
    device.Kill();
}

// The same cycle on CPort1 alone, for each way a driver reports the loss.
class DeviceRestartPort : public DeviceRestart, public ::testing::WithParamInterface<platform::DWORD> {
protected:
    platform::ScopedStrictLoss loss{GetParam()};
};

TEST_P(DeviceRestartPort, PortSurvivesTheDeviceComingAndGoing)
{
    Device device;
    ASSERT_TRUE(device.Start());
    TComPort port;
    LoadCPort1Settings(port);
    int replies = 0;
    port.SetOnRxFlag([&](TObject*) {
        std::string data;
        port.ReadText(data, port.BytesWaiting());
        ++replies;
    });
    const std::string query = "\x02"
                              "80" +
                              ChecksumText(GetChecksumme("80", 2)) + "\x03\r";
    // One tick of the poll; the failure it raises, if any.
    auto tick = [&]() -> std::optional<std::string> {
        try {
            port.PurgeQueues(true, true);
            port.WriteText(query);
        } catch (const EComPort& error) {
            return std::string(error.what());
        }
        return std::nullopt;
    };
    auto answered = [&]() -> ::testing::AssertionResult {
        const int before = replies;
        if (const auto failure = tick()) return ::testing::AssertionFailure() << "the query failed: " << *failure;
        if (!ServeUntil([&] { return replies > before; })) return ::testing::AssertionFailure() << "no reply";
        return ::testing::AssertionSuccess();
    };

    port.SetPortNum(device.ComName());
    port.Open();
    ASSERT_TRUE(answered());
    const Counts start = Now();

    for (int cycle = 0; cycle < Cycles(); ++cycle) {
        SCOPED_TRACE("cycle " + std::to_string(cycle));
        device.Kill();
        // Every tick against the dead device fails, and says why.
        for (int t = 0; t < 3; ++t) {
            const auto failure = tick();
            ASSERT_TRUE(failure.has_value()) << "a tick against a dead device reported success";
            EXPECT_FALSE(failure->empty());
        }
        port.Close();
        EXPECT_FALSE(port.Connected());

        ASSERT_TRUE(device.Start(device.ComName()));
        port.Open();
        ASSERT_TRUE(answered()) << "no clock reply after the restart";
        const Counts now = Now();
        EXPECT_EQ(now.fds, start.fds);
        EXPECT_EQ(now.threads, start.threads);
    }
    port.Close();
    device.Kill();
}

INSTANTIATE_TEST_SUITE_P(Drivers, DeviceRestartPort, ::testing::ValuesIn(testsupport::kLossCodes),
                         testsupport::LossCodeName);

}  // namespace

int main(int argc, char** argv)
{
    // Also when the test list is gathered, which runs without the test's environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
