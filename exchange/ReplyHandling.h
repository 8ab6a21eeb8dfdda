#pragma once
// One reply line taken apart by the reply mode: everything the window shows
// for it, the line for the readout file, and whether its checksum held.
//
//   for (const std::string& line : state.Splitter.Feed(bytesRead)) {
//       state.RxText = line;
//       TReplyView v = HandleReply(line, state.ReplyMode);
//       show v (Rueckgabe, L_CRC, panels, Modulzeit, Uhr_stellen);
//       if (v.ReadoutLine) append it (ReadoutFile.h) and count it (DownloadTally.h);
//       if (!v.ChecksumOk) status bar: ChecksumWarning(v, language);
//       remember v.Failure if it is the first;
//   }
//   raise the first failure after all lines are shown.
//
// Positions count from the line's first character: the body is everything
// before the last four characters ahead of the first CR, the panels take
// 1-4, 6-24, 26-35 and 37-45 whatever the line's length.

#include "exchange/DeferredFailure.h"
#include "exchange/ReplyMode.h"
#include "exchange/SessionTexts.h"

#include <optional>
#include <string>

namespace exchange {

struct TReadingPanels {
    std::string ID_Mess;     // 1-4
    std::string Datum_Zeit;  // 6-24
    std::string ID_Zaehler;  // 26-35
    std::string Messwert;    // 37-45
};

struct TReplyView {
    std::string Rueckgabe;
    std::string L_CRC;                       // checksum computed over the body
    std::string ReceivedChecksum;            // the line's own four characters; empty without CR or body room
    bool ChecksumOk = false;                 // false also when the line has no checksum at all
    std::optional<TReadingPanels> Panels;    // rmReading
    std::optional<std::string> ReadoutLine;  // rmStoredRecord: the text to append
    std::optional<std::string> Modulzeit;    // rmDeviceClock
    std::optional<bool> UhrStellenVisible;   // rmDeviceClock; absent when unchanged
    // rmDeviceClock: EConvertError when the line's first two characters are
    // not an integer; Modulzeit is shown first, then this is raised.
    TDeferredFailure Failure;
};

// A clock reply whose first number is below this offers "Uhr stellen".
inline constexpr int kClockSettableBelow = 14;

TReplyView HandleReply(const std::string& line, TReplyMode mode);

// For the status bar when ChecksumOk is false, e.g.
// "Prüfsumme der Antwort falsch: empfangen 'ABCD', berechnet 1234".
std::string ChecksumWarning(const TReplyView& view, TTextLanguage language);

}  // namespace exchange
