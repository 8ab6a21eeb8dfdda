#pragma once
// A tty opened by its path and made raw: 8 data bits, no parity, one stop
// bit, no flow control, modem lines ignored. The simulator talks over one
// with --tty (a real null-modem cable, or one end of a pty pair), and tests
// play the operator's side of a simulated port through one.

#include <memory>
#include <string>

namespace platform {

class RawTty {
public:
    // Nullptr with a message in *error when the path cannot be opened or is
    // not a tty. `baud` must be a standard rate (9600 ... 115200).
    static std::unique_ptr<RawTty> Open(const std::string& path, int baud, std::string* error = nullptr);
    ~RawTty();
    RawTty(const RawTty&) = delete;
    RawTty& operator=(const RawTty&) = delete;

    const std::string& Path() const { return path_; }

    enum class ReadResult { Data, Timeout, Closed };
    // Appends what has arrived to `out`, waiting at most timeoutMs for the
    // first byte (-1: no limit). Closed: the other side hung up or the device
    // went away; every later call says so too.
    ReadResult Read(std::string& out, int timeoutMs);

    // Writes every byte, waiting at most timeoutMs in all for the line to take
    // them. False on a time-out or when the device has gone.
    bool WriteAll(const std::string& bytes, int timeoutMs = 10000);

private:
    RawTty(int fd, std::string path);
    int fd_;
    std::string path_;
    bool closed_ = false;
};

}  // namespace platform
