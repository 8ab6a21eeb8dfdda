#pragma once
// A device played on the master side of a pseudo-terminal whose slave is
// linked under a fresh COM name in the (private) port folder.

#include <chrono>
#include <string>

#include "MainQueueWait.h"
#include "tooling/tty/Pty.h"

class PtyDevice {
public:
    PtyDevice();
    ~PtyDevice();
    PtyDevice(const PtyDevice&) = delete;
    PtyDevice& operator=(const PtyDevice&) = delete;

    const std::string& ComName() const { return comName_; }
    platform::PseudoTerminal& Pty() { return pty_; }

    // Bytes from the device to the port.
    bool Send(const std::string& bytes) { return pty_.WriteAll(bytes); }
    // Bytes the port wrote, until `count` have come or the time is up.
    std::string Receive(std::size_t count, std::chrono::milliseconds timeout = kPatience);

    // A COM name that nothing answers to.
    static std::string UnusedComName();

private:
    platform::PseudoTerminal pty_;
    std::string comName_;
};
