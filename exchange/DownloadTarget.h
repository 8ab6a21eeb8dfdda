#pragma once
// The day's download in progress: which file it writes to, and until when.
// The "Datei lesen" transmission creates the file and begins the download;
// the next frame that goes out ("Übertragen", a tick of the clock poll, the
// choice of a port) purges the line and ends it. Every reply line that
// arrives in between is one of the day's records and goes to that file,
// whatever mode or folder the operator chooses meanwhile. A device clock
// line (a late answer to the poll) is never a record: it is shown as the
// device clock wherever a record would be stored.
//
//   created the day's file:  PurgeBothQueues(); state.Download.Begin(file);
//   every purge of the port: state.Download.End();
//   each reply line:         TLineTreatment t = state.Download.Treat(line, state.ReplyMode);
//                            TReplyView v = HandleReply(line, t.Mode);
//                            if (t.Store) AppendReadoutLine(state.Download.File(), *v.ReadoutLine);

#include "exchange/ReplyMode.h"

#include <filesystem>
#include <string>

namespace exchange {

// The device's clock line: "yy.mm.dd hh:nn:ss" (six two-digit numbers, each
// pair parted by one character that is not a digit), then the four
// hexadecimal checksum digits and CR. A record line (45 characters and its
// checksum) never has this shape.
bool IsClockLine(const std::string& line);

struct TLineTreatment {
    TReplyMode Mode;  // how the line is taken apart and shown
    bool Store;       // appended to the download's file
};

class TDownloadTarget {
public:
    void Begin(const std::filesystem::path& file);
    void End() { active_ = false; }

    bool Active() const { return active_; }
    const std::filesystem::path& File() const { return file_; }

    // During a download a line is a stored record, whatever `replyMode` the
    // operator's choices have set since. Outside one it is treated by
    // `replyMode`, and nothing is stored: under rmStoredRecord before the
    // transmission has created the day's file, the line answered an earlier
    // query. A clock line is shown as the device clock where it would be
    // taken for a record.
    TLineTreatment Treat(const std::string& line, TReplyMode replyMode) const;

private:
    std::filesystem::path file_;
    bool active_ = false;
};

}  // namespace exchange
