#pragma once
// A device session on the simulator: qdtr25-sim as a child process on a
// pseudo-terminal of the private port folder, and a steady clock the test
// may move on, so that the session's waits pass without waiting.

#include "exchange/Checksum.h"
#include "exchange/DeviceSession.h"
#include "platform/MainThread.h"
#include "platform/PortFolder.h"
#include "serial/CPort.h"
#include "sim/Records.h"
#include "tooling/testing/ChildProcess.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace session_test {

using namespace std::chrono_literals;
inline constexpr auto kPatience = 60s;  // sanitizer builds on a busy machine

inline std::string ReadFileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// The lines the simulator sends for a day, as the day file must hold them.
inline std::string DayOfRecords(const sim::DateTime& day, int perDay)
{
    std::string lines;
    for (int n = 1; n <= perDay; ++n) {
        const std::string body = sim::RecordBody(day, n, {perDay, 0});
        lines += body + ChecksumText(GetChecksumme(body, std::int32_t(body.size()))) + "\r\n";
    }
    return lines;
}

class TSimulator {
public:
    ~TSimulator() { Stop(); }

    bool Start(std::vector<std::string> args)
    {
        process_ = std::make_unique<platform::ChildProcess>();
        args.insert(args.begin(), {"--port", "auto"});
        std::string error;
        if (!process_->Start(QDTR25_SIM_PATH, args, {}, &error)) {
            ADD_FAILURE() << "cannot start the simulator: " << error;
            return false;
        }
        const auto line = process_->ReadLine(60000);
        if (!line) return false;
        comName_ = line->substr(0, line->find(' '));
        return true;
    }
    // Gone as a pulled adapter goes: the process ends and its name with it.
    void Kill()
    {
        if (!process_) return;
        process_->Send(platform::ChildProcess::Signal::Kill);
        process_->Wait(60000);
        platform::UnlinkPort(comName_);
        process_.reset();
    }
    void Stop()
    {
        if (!process_) return;
        process_->Send(platform::ChildProcess::Signal::Terminate);
        process_->Wait(60000);
        process_.reset();
    }
    const std::string& ComName() const { return comName_; }

private:
    std::unique_ptr<platform::ChildProcess> process_;
    std::string comName_;
};

class TSessionTest : public testing::Test {
protected:
    // The session on a clock that runs as the real one plus what the test
    // added.
    std::chrono::steady_clock::duration skipped{};
    exchange::TDeviceSession session{[this] { return std::chrono::steady_clock::now() + skipped; }};
    QTemporaryDir folder;

    void TearDown() override
    {
        if (session.Port().Connected()) session.Port().Close();
    }

    // Serves deliveries and the session's clock until `done`. What the port
    // raises on the main thread (a loss the event thread met) is kept, as
    // the error display would show it.
    bool Serve(const std::function<bool()>& done, std::chrono::milliseconds timeout = kPatience)
    {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) return false;
            try {
                platform::MainQueue::RunFor(exchange::TDeviceSession::kCheckEvery);
            } catch (const std::exception& e) {
                thrown.push_back(e.what());
            }
            session.CheckTime();
        }
        return true;
    }
    std::vector<std::string> thrown;
    bool ServeUntilEnded()
    {
        return Serve([&] { return !session.RequestOpen() && !session.RequestWaiting(); });
    }
    // Opens the simulator's port and waits for its clock.
    void Connect(const TSimulator& sim)
    {
        session.OpenPort(sim.ComName());
        ASSERT_TRUE(ServeUntilEnded());
        ASSERT_EQ(session.Request().State, exchange::TRequestState::rsAnswered);
    }
    std::filesystem::path InFolder(const char* name) const
    {
        return std::filesystem::path(folder.path().toStdString()) / name;
    }
};

}  // namespace session_test
