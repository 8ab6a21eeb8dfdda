#include "exchange/ReplyHandling.h"

#include "exchange/Checksum.h"
#include "exchange/ControlChars.h"
#include "exchange/TextRules.h"
#include "serial/StrToInt.h"

#include <algorithm>
#include <cctype>

namespace exchange {

namespace {

constexpr int kChecksumLength = 4;

bool SameHex(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

}  // namespace

TReplyView HandleReply(const std::string& line, TReplyMode mode)
{
    TReplyView view;
    const int n = PosOf(CR, line);
    const int bodyLength = n - 1 - kChecksumLength;
    const std::string body = CopyChars(line, 1, bodyLength);

    view.L_CRC = ChecksumText(GetChecksumme(body, bodyLength));
    if (bodyLength >= 0) view.ReceivedChecksum = CopyChars(line, n - kChecksumLength, kChecksumLength);
    view.ChecksumOk = SameHex(view.ReceivedChecksum, view.L_CRC);  // empty never matches
    view.Rueckgabe = body;

    switch (mode) {
    case TReplyMode::rmReading:
        view.Rueckgabe = CopyChars(line, 1, n - 1);
        view.Panels = TReadingPanels{CopyChars(line, 1, 4), CopyChars(line, 6, 19), CopyChars(line, 26, 10),
                                     CopyChars(line, 37, 9)};
        break;
    case TReplyMode::rmStoredRecord:
        view.Rueckgabe = CopyChars(line, 1, n - 1);
        view.ReadoutLine = view.Rueckgabe;
        break;
    case TReplyMode::rmDeviceClock:
        view.Modulzeit = body;
        try {
            view.UhrStellenVisible = StrToInt(CopyChars(line, 1, 2)) < kClockSettableBelow;
        } catch (const EConvertError& error) {
            view.Failure.Set(error);
        }
        break;
    }
    return view;
}

std::string ChecksumWarning(const TReplyView& view, TTextLanguage language)
{
    return SessionText(TSessionText::stBadChecksum, language,
                       {{"received", view.ReceivedChecksum}, {"computed", view.L_CRC}});
}

}  // namespace exchange
