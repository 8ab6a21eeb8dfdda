#pragma once
// The program's texts are Windows-1252 bytes (as on the serial line and in
// exception messages); the widgets hold Unicode. These two conversions are the
// bridge between them.

#include <QString>

#include <string>

// Every byte becomes one character, and AnsiFromQString gives the same byte
// back, for all 256 byte values.
QString QStringFromAnsi(const std::string& bytes);

// Characters without a Windows-1252 byte become '?'.
std::string AnsiFromQString(const QString& text);
