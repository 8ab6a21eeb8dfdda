#pragma once
// A pseudo-terminal known as a COM name in the (private) port folder: the
// window's tests play the device on its master side.

#include "platform/PortFolder.h"
#include "tooling/tty/Pty.h"

#include <string>

class TLinkedPty {
public:
    explicit TLinkedPty(std::string comName) : comName_(std::move(comName))
    {
        std::string error;
        linked_ =
            pty.IsOpen() && platform::EnsurePortFolder(&error) && platform::LinkPort(comName_, pty.SlavePath(), &error);
        error_ = error;
    }
    ~TLinkedPty() { platform::UnlinkPort(comName_); }
    TLinkedPty(const TLinkedPty&) = delete;
    TLinkedPty& operator=(const TLinkedPty&) = delete;

    bool Linked() const { return linked_; }
    const std::string& Error() const { return error_; }

    platform::PseudoTerminal pty;

private:
    std::string comName_;
    bool linked_ = false;
    std::string error_;
};
