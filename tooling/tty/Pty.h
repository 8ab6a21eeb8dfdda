#pragma once
// A pseudo-terminal whose slave side stands in for a serial port. The
// simulator and the tests play the device on the master side.

#include <string>

namespace platform {

class PseudoTerminal {
public:
    // Opens a new pty and makes its slave raw (no echo, no line discipline).
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool IsOpen() const;
    const std::string& SlavePath() const;  // "/dev/pts/7"
    std::string KernelName() const;        // "pts7"

    // Writes all bytes (blocking until the slave side has taken them);
    // false when no client is attached or the pty has gone.
    bool WriteAll(const std::string& bytes);

    enum class ReadResult { Data, Timeout, NoClient, Closed };
    // Appends what the client wrote to `out`, waiting at most timeoutMs
    // (-1: no limit). While no process holds the slave open the wait blocks
    // until a client opens it (it does not spin); NoClient: none came in time.
    ReadResult Read(std::string& out, int timeoutMs);

    // Closes the master: to the client the device has gone.
    void CloseMaster();

private:
    int master_ = -1;
    int openWatch_ = -1;  // inotify: someone opened the slave
    std::string slavePath_;
};

}  // namespace platform
