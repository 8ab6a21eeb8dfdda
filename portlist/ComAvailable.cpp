#include "portlist/ComAvailable.h"

#include <algorithm>

#include <QCollator>
#include <QLocale>

#include "platform/ComName.h"
#include "portlist/AnsiText.h"

namespace {

bool IsBlankOrControl(QChar c)
{
    return c.unicode() <= 0x20;
}

// Removes leading and trailing blanks and control characters.
QString TrimBlanks(const QString& text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && IsBlankOrControl(text[begin])) ++begin;
    while (end > begin && IsBlankOrControl(text[end - 1])) --end;
    return text.mid(begin, end - begin);
}

}  // namespace

QStringList ComAvailableFrom(const std::vector<platform::SerialCommValue>& values)
{
    QStringList ports;
    for (const auto& value : values) {
        if (!value.isText) throw ERegistryException("Ung\xFCltiger Datentyp f\xFCr '" + value.name + "'");
        const QString data = QStringFromAnsi(value.data);
        if (!data.toUpper().startsWith(QLatin1String("COM")) ||
            !QStringFromAnsi(value.name).toUpper().contains(QLatin1String("DEVICE")))
            continue;
        // A name the serial component would not keep (COM300, COM4x) would
        // open another port than the one listed.
        const QString port = TrimBlanks(data);
        if (platform::ParseComName(AnsiFromQString(port))) ports.append(port);
    }
    QCollator collator{QLocale()};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);  // text order: COM10 before COM2
    std::stable_sort(ports.begin(), ports.end(),
                     [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    return ports;
}

QStringList GetComAvailable()
{
    return ComAvailableFrom(platform::ReadSerialCommMap());
}

QString DescribePort(const platform::SerialPortInfo& port)
{
    const QString comName = QStringFromAnsi(port.comName);
    if (!port.friendlyName.empty()) {
        // Device Manager's own text names the port already, "... (COM3)".
        const QString friendly = QString::fromStdString(port.friendlyName);
        if (friendly.contains(QLatin1Char('(') + comName + QLatin1Char(')'), Qt::CaseInsensitive)) return friendly;
        return comName + QLatin1String(": ") + friendly;
    }
    QString text = comName + QLatin1String(": ") + QString::fromStdString(port.devicePath);
    if (!port.description.empty()) text += QLatin1String(", ") + QString::fromStdString(port.description);
    return text;
}

const platform::SerialPortInfo* FindPort(const QString& comName, const std::vector<platform::SerialPortInfo>& ports)
{
    const auto port = std::find_if(ports.begin(), ports.end(), [&](const platform::SerialPortInfo& p) {
        return QStringFromAnsi(p.comName).compare(comName, Qt::CaseInsensitive) == 0;
    });
    return port == ports.end() ? nullptr : &*port;
}

QStringList ComPortDescriptions(const QStringList& comNames, const std::vector<platform::SerialPortInfo>& ports)
{
    QStringList descriptions;
    for (const QString& comName : comNames) {
        const platform::SerialPortInfo* port = FindPort(comName, ports);
        descriptions.append(port ? DescribePort(*port) : QString());
    }
    return descriptions;
}

TPortEntries ReadPortEntries()
{
    const platform::SerialPortScan scan = platform::ScanSerialPorts();
    const QStringList names = ComAvailableFrom(scan.map);
    return {names, ComPortDescriptions(names, scan.ports), scan.ports};
}
