#pragma once
// The program-wide values of the device exchange, owned by the main window
// and touched only on the main thread.
//
//   TExchangeState state;                        // a member of the window
//   state.ReplyMode = ModeDef(mode).ReplyMode;  // mode choice
//   state.Splitter.Clear(); state.Download.End(); // with every purge of the port

#include "exchange/DownloadTarget.h"
#include "exchange/DownloadTally.h"
#include "exchange/ReplyLineSplitter.h"
#include "exchange/ReplyMode.h"

#include <filesystem>
#include <string>

namespace exchange {

struct TExchangeState {
    TReplyMode ReplyMode = TReplyMode::rmReading;
    std::string TxFrame;      // the frame last sent by "Übertragen"
    std::string RxText;       // the reply line handled last
    std::string ReadoutPath;  // directory part of the readout file's path, as `Datei` spells it
    // The same folder as the system names it, where the day's file goes;
    // empty when the directory chooser shows none.
    std::filesystem::path ReadoutFolder;
    TDownloadTarget Download;  // the day's file the reply lines go to, if any
    TReplyLineSplitter Splitter;
    TDownloadTally Tally;
};

}  // namespace exchange
