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

inline constexpr int kErrorAccessDenied = 5;     // ERROR_ACCESS_DENIED
inline constexpr int kErrorHandleDiskFull = 39;  // ERROR_HANDLE_DISK_FULL
inline constexpr int kErrorDiskFull = 112;       // ERROR_DISK_FULL

class EInOutError : public std::runtime_error {
public:
    explicit EInOutError(int errorCode);

    // The platform's mapping of errno: a full disk (also a file-size or
    // quota limit) is kErrorDiskFull, refused access kErrorAccessDenied.
    static EInOutError FromErrno(int err);

    int ErrorCode;
};

// "Zu wenig Speicherplatz", "Dateizugriff verweigert" or "E/A-Fehler <code>".
std::string InOutErrorMessage(int errorCode);

}  // namespace exchange
