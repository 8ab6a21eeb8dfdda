#pragma once
// The port doctor's advice: when a port will not open, what the user can do
// about it, from what the platform finds out about the device. The window
// shows it in its status bar, the command line after the error message.

#include "platform/PortFacts.h"

#include <QString>

#include <cstdint>
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

// The advice for a failure to open `comName`, with the facts the platform
// finds about it now.
std::optional<TPortAdvice> ExaminePortFailure(const std::string& comName, std::int32_t code, std::int32_t winCode);

// The advice for a listed port, from the facts alone, without trying to open
// it (opening a real serial device raises its modem lines): no permission, or
// in use by a program the system names.
std::optional<TPortAdvice> AdviceBeforeOpening(const std::string& comName);
