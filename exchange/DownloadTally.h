#pragma once
// A running count of one "Datei lesen" download, for the status bar: lines
// stored, lines whose checksum did not match, and the file they went to.
//
//   on transmission in "Datei lesen":  state.Tally.Start(Datei caption);
//   per stored-record reply:           state.Tally.Record(Datei caption, stored, v.ChecksumOk);
//   status bar:                        state.Tally.StatusText();

#include <string>

namespace exchange {

class TDownloadTally {
public:
    // A new download to `file`: the counts start from zero.
    void Start(const std::string& file);

    // One handled line. A line for another file than the current one starts
    // a new count (the date fields were changed during the download).
    // `stored` is false when the append could not open the file.
    void Record(const std::string& file, bool stored, bool checksumOk);

    int StoredLines() const { return stored_; }
    int BadChecksumLines() const { return badChecksum_; }
    int LostLines() const { return lost_; }
    const std::string& CurrentFile() const { return file_; }

    // E.g. "3 Zeilen gespeichert, 1 mit falscher Prüfsumme: /data/26_12_07.txt"
    std::string StatusText() const;

private:
    std::string file_;
    int stored_ = 0;
    int badChecksum_ = 0;
    int lost_ = 0;
};

}  // namespace exchange
