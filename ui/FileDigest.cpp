#include "ui/FileDigest.h"

#include "portlist/AnsiText.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

namespace {
QString TrimmedReason(QString reason)
{
    while (!reason.isEmpty()) {
        const QChar last = reason.back();
        if (last != QLatin1Char(' ') && last != QLatin1Char('\r') && last != QLatin1Char('\n') &&
            last != QLatin1Char('.'))
            break;
        reason.chop(1);
    }
    return reason;
}
}  // namespace

QString Md5OfFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        const QString message = QStringLiteral("Datei %1 kann nicht ge\u00F6ffnet werden. %2")
                                    .arg(QFileInfo(fileName).absoluteFilePath(), TrimmedReason(file.errorString()));
        throw EFOpenError(AnsiFromQString(message));
    }
    QCryptographicHash hash(QCryptographicHash::Md5);
    hash.addData(&file);  // reads in blocks
    return QString::fromLatin1(hash.result().toHex().toUpper());
}
