#include "ui/TimeSeparator.h"

#include <QRegularExpression>

QChar TimeSeparatorOf(const QLocale& locale)
{
    const QString format = locale.timeFormat(QLocale::LongFormat);
    const qsizetype hours = format.indexOf(QRegularExpression(QStringLiteral("[hH]")));
    if (hours < 0) return QLatin1Char(':');
    qsizetype end = hours;
    while (end < format.size() && (format[end] == QLatin1Char('h') || format[end] == QLatin1Char('H'))) ++end;
    const qsizetype minutes = format.indexOf(QLatin1Char('m'), end);
    if (minutes != end + 1) return QLatin1Char(':');
    const QChar separator = format[end];
    if (separator.isLetterOrNumber() || separator == QLatin1Char('\'') || separator.unicode() > 0xFF)
        return QLatin1Char(':');
    return separator;
}
