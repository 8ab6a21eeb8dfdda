#pragma once
// A "Datei lesen" download below the window: the window's port CPort1 (its
// stored settings, event thread and hidden-window delivery) on a
// pseudo-terminal linked in the private port folder, and a reply handler
// that takes each event's bytes through the line splitter and the reply
// handling into the readout file, as the window's handler does. The device
// side is played from another thread while the main thread serves the
// deliveries.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "exchange/ReplyLineSplitter.h"
#include "tooling/tty/Pty.h"
#include "serial/CPort.h"

inline constexpr int kPatienceMs = 60000;  // generous: sanitizer builds on a busy machine

class DownloadHarness {
public:
    // Opens the port; the readout file is `filePath`, created empty here.
    explicit DownloadHarness(std::string filePath);
    ~DownloadHarness();

    // Plays the device: writes `bytes` from a device thread in batches that
    // each end with an LF and fit the port's input queue, and waits before
    // each batch until the handler has read the previous one, so nothing is
    // lost to a full queue. Returns once the device thread has started;
    // serve with ServeUntilRead.
    void SendPaced(std::string bytes, std::size_t batchLimit = 1000);
    // Writes `bytes` at once, as fast as the line takes them.
    void SendFlood(std::string bytes);
    // Serves deliveries on the main thread until the handler has read at
    // least `bytes` bytes in all (and the device thread is done).
    bool ServeUntilRead(std::uint64_t bytes, int timeoutMs = kPatienceMs);
    // Serves until `lines` lines have been handled in all.
    bool ServeUntilLines(std::uint64_t lines, int timeoutMs = kPatienceMs);

    std::uint64_t BytesRead() const { return bytesRead_; }
    std::uint64_t LinesHandled() const { return linesHandled_; }
    // What the operator would have seen: "Fehler ..." and the messages of
    // errors that escaped the handler, in order.
    const std::vector<std::string>& Messages() const { return messages_; }
    const exchange::TReplyLineSplitter& Splitter() const { return splitter_; }
    TComPort& Port() { return port_; }
    void SetFile(std::string path) { filePath_ = std::move(path); }

private:
    void OnRxFlag();
    void JoinDevice();

    std::string filePath_;
    platform::PseudoTerminal pty_;
    std::string comName_;
    TComPort port_;
    exchange::TReplyLineSplitter splitter_;
    std::vector<std::string> messages_;
    std::atomic<std::uint64_t> bytesRead_{0};
    std::atomic<std::uint64_t> linesHandled_{0};
    std::mutex mutex_;
    std::condition_variable readProgress_;
    std::atomic<bool> deviceDone_{true};
    std::thread device_;
};

// The contents of a file; *ok (when given) tells whether it could be read.
std::string ReadWholeFile(const std::string& path, bool* ok = nullptr);

// What the readout file must hold for these bytes: each complete line's text
// before its first CR (nothing for a line without CR), followed by CR LF.
std::string ExpectedReadout(const std::string& sent);
