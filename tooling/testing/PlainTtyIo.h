#pragma once
// The plainest ways to take lines off a tty, with nothing of the serial
// component in between: the baselines that benchmarks hold the component
// against.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace platform {

// A thread blocked in poll() on a tty that hands every complete line (up to
// and including its LF) to a consumer waiting in Next(): the two-thread
// hand-over with nothing else in the way.
class PollLineReader {
public:
    // Opens the tty raw (8N1, no flow control); IsOpen() tells whether it worked.
    explicit PollLineReader(const std::string& ttyPath);
    // Stops the thread (through an event it also polls) and closes the tty.
    ~PollLineReader();
    PollLineReader(const PollLineReader&) = delete;
    PollLineReader& operator=(const PollLineReader&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    // The next line, waiting at most `timeout`; nullopt on a time-out or
    // when the tty has gone.
    std::optional<std::string> Next(std::chrono::milliseconds timeout);

private:
    void Loop();
    int fd_ = -1;
    int stopFd_ = -1;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::string> lines_;
    bool ended_ = false;
    std::thread thread_;
};

struct CopyResult {
    std::uint64_t bytes = 0;
    std::uint64_t lines = 0;  // LF bytes copied
    bool complete = false;    // the wanted number of lines arrived in time
};

// Copies what arrives on the tty into the file (created or emptied) with a
// plain read/write loop until `lines` LFs have been copied, the tty goes
// away or `timeout` passes. `started` (may be empty) runs once the tty is
// open and raw, before anything is read: the moment to let the device send.
CopyResult CopyTtyLinesToFile(const std::string& ttyPath, const std::string& filePath, std::uint64_t lines,
                              std::chrono::milliseconds timeout, const std::function<void()>& started = {});

}  // namespace platform
