#pragma once
// The system's time separator (":" in most locales, "." in Finnish or Danish),
// taken from the locale's time format.

#include <QChar>
#include <QLocale>

// The one character between the hours and the minutes of the locale's time
// format; ":" when the format has none, or more than one character there.
QChar TimeSeparatorOf(const QLocale& locale);
