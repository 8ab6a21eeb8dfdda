#include "portlist/AnsiText.h"

#include <QHash>
#include <QStringDecoder>

#include <array>

namespace {
// The code page's 256 characters, from Qt's Windows-1252 codec (its five
// unassigned bytes read as the C1 controls of the same number), or Latin-1
// where Qt has no such codec.
struct TCodePage {
    std::array<QChar, 256> ToChar;
    QHash<char16_t, char> ToByte;

    TCodePage()
    {
        QStringDecoder decode("Windows-1252");
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            QString one = decode.isValid() ? decode(QByteArrayView(&byte, 1)) : QString(QChar(b));
            ToChar[std::size_t(b)] = one.size() == 1 ? one.front() : QChar(b);
            ToByte.insert(ToChar[std::size_t(b)].unicode(), byte);
        }
    }
};

const TCodePage& CodePage()
{
    static const TCodePage table;
    return table;
}
}  // namespace

QString QStringFromAnsi(const std::string& bytes)
{
    const TCodePage& page = CodePage();
    QString text(qsizetype(bytes.size()), Qt::Uninitialized);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        text[qsizetype(i)] = page.ToChar[static_cast<unsigned char>(bytes[i])];
    return text;
}

std::string AnsiFromQString(const QString& text)
{
    const TCodePage& page = CodePage();
    std::string bytes;
    bytes.reserve(std::size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;  // one character outside the code page, one '?'
        const auto found = page.ToByte.constFind(c.unicode());
        bytes.push_back(found != page.ToByte.constEnd() ? found.value() : '?');
    }
    return bytes;
}
