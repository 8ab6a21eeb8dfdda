#pragma once
// The port doctor: when a port will not open, the error box keeps the serial
// layer's text, and the status bar adds what the operator can do about it,
// from what the platform finds out about the device. The advice follows the
// caption language and goes when a port choice succeeds.

#include "platform/PortFacts.h"
#include "ui/StatusLine.h"

#include <QString>

#include <optional>
#include <string>

struct TPortAdvice {
    enum class TKind { NoDevice, NoPermission, NoPermissionForAnyGroup, InUse, InUseByUnknown, LeftLocked };
    TKind Kind;
    std::string ComName;  // "COM3"
    platform::PortFacts Facts;
};

// The advice for a failure to open `comName` (the serial layer's code and
// the platform's error code); none when the facts explain nothing.
std::optional<TPortAdvice> AdviceFor(const std::string& comName, std::int32_t code, std::int32_t winCode,
                                     const platform::PortFacts& facts);

// The advice in caption language 1 (German; also 0, before a flag was
// pressed) or 2 (English).
QString AdviceText(const TPortAdvice& advice, int language);

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
