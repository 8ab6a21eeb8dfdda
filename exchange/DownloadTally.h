#pragma once
// A running count of one "Datei lesen" download, for the status bar: lines
// stored, lines whose checksum did not match, and the file they went to.
//
//   on transmission in "Datei lesen":  state.Tally.Start(Datei caption);
//   per line of the download:          state.Tally.Record(stored, v.ChecksumOk);
//   status bar:                        state.Tally.StatusText(language) + ": " + file

#include "exchange/SessionTexts.h"

#include <string>

namespace exchange {

class TDownloadTally {
public:
    // A new download to `file` (UTF-8, as `Datei` shows it): the counts
    // start from zero.
    void Start(const std::string& file);

    // One handled line of the download. `stored` is false when the line did
    // not reach the file (it could not be opened, or the line could not be
    // written whole).
    void Record(bool stored, bool checksumOk);

    int StoredLines() const { return stored_; }
    int BadChecksumLines() const { return badChecksum_; }
    int LostLines() const { return lost_; }
    const std::string& CurrentFile() const { return file_; }

    // E.g. "3 Zeilen gespeichert, 1 mit falscher Prüfsumme" (Windows-1252),
    // without the file: its name may hold characters beyond the code page.
    std::string StatusText(TTextLanguage language) const;

private:
    std::string file_;
    int stored_ = 0;
    int badChecksum_ = 0;
    int lost_ = 0;
};

}  // namespace exchange
