#include "exchange/DownloadTally.h"

namespace exchange {

void TDownloadTally::Start(const std::string& file)
{
    file_ = file;
    stored_ = badChecksum_ = lost_ = 0;
}

void TDownloadTally::Record(bool stored, bool checksumOk)
{
    if (stored)
        ++stored_;
    else
        ++lost_;
    if (!checksumOk) ++badChecksum_;
}

std::string TDownloadTally::StatusText(TTextLanguage language) const
{
    std::string text = SessionText(TSessionText::stTallyStored, language, {{"lines", LinesText(stored_, language)}});
    if (badChecksum_ > 0)
        text += SessionText(TSessionText::stTallyBadChecksum, language, {{"count", std::to_string(badChecksum_)}});
    if (lost_ > 0) text += SessionText(TSessionText::stTallyLost, language, {{"count", std::to_string(lost_)}});
    return text;
}

}  // namespace exchange
