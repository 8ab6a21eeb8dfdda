#pragma once
// The frame that "Übertragen" sends, assembled from the frame label.
//
//   if (CreatesReadoutFile(state.ReplyMode)) {
//       file = DayFilePath(state.ReadoutFolder, state.ReadoutPath, Datei caption);
//       if (!file || !CreateReadoutFile(*file)) { show kCreateFailedText; return; }
//   }
//   TTransmission tx = AssembleTransmission(Ergebnis4 caption);
//   L_CRC = tx.ChecksumText; TxFrame = Ergebnis4 = tx.Frame;
//   purge both queues (ending any download); if (file) state.Download.Begin(*file);
//   written = WriteText(tx.Frame);
//   CheckFrameWritten(written, tx.Frame.size());

#include "exchange/ReplyMode.h"

#include <string>

namespace exchange {

// In mode "Datei lesen" the readout file is created (emptied) before the
// frame goes out; if that fails nothing is sent.
inline bool CreatesReadoutFile(TReplyMode mode)
{
    return mode == TReplyMode::rmStoredRecord;
}

struct TTransmission {
    std::string Frame;         // STX + payload + checksum + ETX + CR
    std::string ChecksumText;  // the four hex digits inserted
};

// A label holding STX + payload + ETX gets the checksum of the payload
// before its ETX and a CR after it; other label texts get the same rule
// (checksum of all but the first and last character, inserted before the
// last), so an empty payload gives "FFFF".
//
// A label that already holds a sent frame (STX + payload + 4 hex digits +
// ETX + CR, left there by the last transmission) is re-sent as STX + payload
// + fresh checksum + ETX + CR: fields committed since then are covered and
// the old checksum, ETX and CR do not end up inside the new frame.
TTransmission AssembleTransmission(const std::string& caption);

}  // namespace exchange
