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

std::string TDownloadTally::StatusText() const
{
    std::string text = std::to_string(stored_) + (stored_ == 1 ? " Zeile" : " Zeilen") + " gespeichert";
    if (badChecksum_ > 0)
        text += ", " + std::to_string(badChecksum_) +
                " mit falscher Pr\xFC"
                "fsumme";
    if (lost_ > 0) text += ", " + std::to_string(lost_) + " nicht gespeichert";
    return text + ": " + file_;
}

}  // namespace exchange
