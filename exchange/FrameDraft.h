#pragma once
// The request under construction: the mode chosen, its frame with the
// fields committed since, and the day file those fields name. It only
// prepares; the device session sends it.
//
//   draft.ChooseMode(omDateiLesen, pcNow);      // template, nothing committed
//   TCommitResult r = draft.Commit(efJJ, "26");  // frame and name follow
//   Ergebnis4 = draft.Frame(); Datei = draft.Datei(); Übertragen = draft.CanTransmit();
//
// `Übertragen` may send only a frame complete for its mode: every field the
// mode's frame carries committed (or filled from the PC clock) since the mode
// was chosen; and only once a field's commit or the takeover of the PC time
// has enabled it. `Datei` is the
// readout folder plus the date committed so far (year, then month, then
// day), rebuilt from all three whenever one of them or the folder changes,
// so a corrected year can never name a file without month and day.

#include "exchange/FieldCommit.h"
#include "exchange/ModeTable.h"
#include "exchange/RequestState.h"
#include "exchange/SystemTime.h"

#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace exchange {

// The fields a mode's frame carries, in the order the operator fills them.
const std::vector<TEntryField>& ModeFields(TOperatingMode mode);

// The request a mode's frame makes.
TRequestKind RequestKindOf(TOperatingMode mode);

class TFrameDraft {
public:
    // The folder the day's file goes into: as `Datei` spells it (8-bit) and
    // as the system names it (empty when the chooser shows none).
    void SetReadoutFolder(const std::string& readoutPath, const std::filesystem::path& readoutFolder);
    const std::string& ReadoutPath() const { return readoutPath_; }

    // The mode's template, nothing committed; a mode that sets the clock
    // fills date and time from `pcNow` (those count as committed). Returns
    // the fields filled, for their edits.
    std::vector<std::pair<TEntryField, std::string>> ChooseMode(TOperatingMode mode, const TDateTimeParts& pcNow);

    // Enter in a field. The result's Datei is the rebuilt name.
    TCommitResult Commit(TEntryField field, const std::string& text);

    // "Systemzeit übernehmen": hours, minutes and seconds from the PC clock.
    std::vector<std::pair<TEntryField, std::string>> TakeOverTime(const TDateTimeParts& pcNow);

    // "Übertragen" releases the mode buttons, whatever comes of it.
    void ReleaseMode() { checked_ = false; }
    // The frame has gone out: it is not sent again until a commit that
    // enables "Übertragen" (FieldTable.h) or a takeover of the PC time.
    void Sent(const std::string& sentFrame);

    std::optional<TOperatingMode> Mode() const { return mode_; }
    // The mode whose button is checked: none after a transmission.
    std::optional<TOperatingMode> CheckedMode() const { return checked_ ? mode_ : std::nullopt; }
    const std::string& Frame() const { return frame_; }
    // Whether the field was committed since the mode was chosen.
    bool Committed(TEntryField field) const { return committed_.count(field) != 0; }
    bool Complete() const;
    bool CanTransmit() const { return Complete() && armed_; }
    std::string Datei() const;
    // The day file that a complete day request names; none without a folder.
    std::optional<std::filesystem::path> DayFile() const;
    // "07.12.26": the committed day, for messages.
    std::string DayText() const;

private:
    void Apply(const std::vector<std::pair<TEntryField, std::string>>& fill, const std::string& frame);

    std::optional<TOperatingMode> mode_;
    bool checked_ = false;
    bool armed_ = false;  // a commit or takeover enabled "Übertragen" since the mode or the last frame
    std::string frame_;
    std::set<TEntryField> committed_;
    std::string year_, month_, day_;  // as committed, two digits each
    std::string readoutPath_;
    std::filesystem::path readoutFolder_;
};

}  // namespace exchange
