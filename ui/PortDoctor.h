#pragma once
// The port doctor: when a port will not open, the error box keeps the serial
// layer's text, and the status bar adds what the operator can do about it,
// from what the platform finds out about the device. The advice follows the
// caption language and goes when a port choice succeeds.

#include "portlist/PortAdvice.h"
#include "ui/StatusLine.h"

#include <cstdint>
#include <string>

class TPortDoctor {
public:
    explicit TPortDoctor(QStatusBar* statusBar) : line_(statusBar) {}

    // Examines the port and shows the advice, if there is one.
    void OpenFailed(const std::string& comName, std::int32_t code, std::int32_t winCode, int language);
    void PortChosen() { line_.Clear(); }
    void LanguageChanged(int language);

private:
    TStatusLine line_;
};
