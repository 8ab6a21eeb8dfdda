#pragma once
// The run-time's file I/O error: raised when writing or closing the readout
// file fails. ErrorCode is a Windows error number, so "E/A-Fehler %d" reads
// the same on every platform.
//
//   try { AppendReadoutLine(...); } // not caught by the window: the error
//                                   // display shows e.what()

#include <stdexcept>
#include <string>

namespace exchange {

class EInOutError : public std::runtime_error {
public:
    explicit EInOutError(int errorCode);

    // The platform's mapping of errno: a full disk (also a file-size or
    // quota limit) is ERROR_DISK_FULL, refused access ERROR_ACCESS_DENIED.
    static EInOutError FromErrno(int err);

    int ErrorCode;
};

// "Zu wenig Speicherplatz", "Dateizugriff verweigert" or "E/A-Fehler <code>".
std::string InOutErrorMessage(int errorCode);

}  // namespace exchange
