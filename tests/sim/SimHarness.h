#pragma once
// Runs the real qdtr25-sim program in a private port folder and talks to it
// as the operator's PC would, through the tty it announces.

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "exchange/Checksum.h"
#include "tests/support/PrivatePortFolder.h"
#include "tests/support/WaitUntil.h"
#include "tooling/testing/ChildProcess.h"
#include "tooling/tty/RawTty.h"

namespace simtest {

inline constexpr int kPatienceMs = 10000;  // generous: sanitizer builds on a busy machine

// STX payload checksum ETX CR, as the tool sends a frame.
inline std::string FrameOf(const std::string& payload)
{
    return "\x02" + payload + ChecksumText(GetChecksumme(payload, static_cast<std::int32_t>(payload.size()))) +
           "\x03\r";
}
inline const std::string kBareClockQuery = "\x02"
                                           "80\x03\r";

// Waits for `done` with an upper bound; true when it came true.
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs = kPatienceMs)
{
    return testsupport::WaitUntil(done, std::chrono::milliseconds(timeoutMs));
}

// A private XDG_RUNTIME_DIR, so neither the user's ports nor another test's
// are touched. Set for this process and handed to the simulators it starts.
class PrivateRuntimeDir : public testsupport::PrivatePortFolder {
public:
    std::string Path() const { return Dir(); }
};

class SimProcess {
public:
    // Starts qdtr25-sim and reads its announcement "COMn /dev/pts/N" (or the
    // tty path alone). False if it did not announce itself.
    bool Start(const std::vector<std::string>& args, const PrivateRuntimeDir& runtime)
    {
        if (!process.Start(QDTR25_SIM_PATH, args, {{"XDG_RUNTIME_DIR", runtime.Path()}})) return false;
        const auto line = process.ReadLine(kPatienceMs);
        if (!line) return false;
        announcement = *line;
        const auto space = line->find(' ');
        comName = space == std::string::npos ? "" : line->substr(0, space);
        ttyPath = space == std::string::npos ? *line : line->substr(space + 1);
        return true;
    }

    // Stops it as a user would and returns its exit status.
    std::optional<platform::ExitStatus>
    Stop(platform::ChildProcess::Signal how = platform::ChildProcess::Signal::Terminate)
    {
        process.Send(how);
        return process.Wait(kPatienceMs);
    }

    platform::ChildProcess process;
    std::string announcement, comName, ttyPath;
};

// The operator's side of the simulated port.
class Client {
public:
    bool Open(const std::string& path)
    {
        tty_ = platform::RawTty::Open(path, 57600);
        buffer_.clear();
        return tty_ != nullptr;
    }
    void Close() { tty_.reset(); }
    bool Send(const std::string& bytes) { return tty_ && tty_->WriteAll(bytes); }

    // Waits until `count` whole lines (ending in LF) have come and returns
    // them; fewer if the time is up first. Bytes after them stay buffered.
    std::vector<std::string> Lines(std::size_t count, int timeoutMs = kPatienceMs)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        std::vector<std::string> lines;
        while (lines.size() < count) {
            const auto lf = buffer_.find('\n');
            if (lf != std::string::npos) {
                lines.push_back(buffer_.substr(0, lf + 1));
                buffer_.erase(0, lf + 1);
                continue;
            }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
                    .count();
            if (left <= 0 || !ReadOnce(static_cast<int>(left))) break;
        }
        return lines;
    }
    std::string Line(int timeoutMs = kPatienceMs)
    {
        auto lines = Lines(1, timeoutMs);
        return lines.empty() ? std::string() : lines.front();
    }

    // One read of whatever has arrived (waiting up to timeoutMs for it);
    // false on a time-out or when the line has gone.
    bool ReadOnce(int timeoutMs)
    {
        return tty_ && tty_->Read(buffer_, timeoutMs) == platform::RawTty::ReadResult::Data;
    }
    std::string& Buffer() { return buffer_; }

private:
    std::unique_ptr<platform::RawTty> tty_;
    std::string buffer_;
};

}  // namespace simtest
