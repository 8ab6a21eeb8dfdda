#pragma once
// The plain sentence an error box raised by the serial component starts
// with: which port, and what happened to it. The component's own text and
// code follow it in the box as the detail.
//
//   "COM3 wird von einem anderen Programm benutzt.\n\nUnable to open com port (win error code: 5)"

#include "exchange/SessionTexts.h"
#include "platform/PortFacts.h"
#include "serial/EComPort.h"

#include <exception>
#include <optional>
#include <string>

// Windows-1252 text; empty for a failure that names no port. `facts`, when
// known, tell an open refused to this user from a port held by another program
// (Windows says the same for both).
std::string PortFailureSentence(const EComPort& error, const std::optional<platform::PortFacts>& facts,
                                exchange::TTextLanguage language);

// The sentence for an escaped error: for a port that would not open, the
// platform is asked what it knows of the device; empty for any error but
// the serial component's.
std::string PortFailureSentence(const std::exception_ptr& error, exchange::TTextLanguage language);
