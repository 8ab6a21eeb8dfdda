#include "ui/PathText.h"

#include <QDir>
#include <QFile>

QString PathText(const std::filesystem::path& path)
{
#ifdef _WIN32
    return QString::fromStdWString(path.native());
#else
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
#endif
}

std::filesystem::path PathOf(const QString& text)
{
    const QString native = QDir::toNativeSeparators(text);
#ifdef _WIN32
    return std::filesystem::path(native.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(native).toStdString());
#endif
}
