#pragma once
// The MD5 digest (RFC 1321) of a file, as the software identification shows it.

#include <QString>

#include <stdexcept>

// The run-time's file-open error. The message is Windows-1252 text:
// "Datei <full path> kann nicht geöffnet werden. <system's reason>".
class EFOpenError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// 32 upper-case hexadecimal digits, the digest's bytes in RFC 1321 order. The
// file is read block by block, so memory use does not grow with its size.
// Raises EFOpenError when the file cannot be opened (the reason with its
// trailing blanks, line ends and full stops removed).
QString Md5OfFile(const QString& fileName);
