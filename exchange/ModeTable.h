#pragma once
// The four operating modes as data: what each mode handler switches, loads
// and sets. A handler walks its row:
//
//   const TModeDef& m = ModeDef(TOperatingMode::omDateiLesen);
//   Timer1 per m.Poll; Systemzeit->setVisible(m.SystemzeitVisible);
//   if (m.ResetsReadoutPath) state.ReadoutPath, ReadoutFolder = the directory chooser's folder;
//   Panel1..4 per m.CoverVisible; choosers and Datei per m.FileChoosersVisible;
//   Ergebnis4 = CommandTemplate(m.Command); state.ReplyMode = m.ReplyMode;
//   if (m.FillsClock) apply FillClockFromPanel5(...); focus per m.Focus.

#include "exchange/CommandFrames.h"
#include "exchange/FieldTable.h"
#include "exchange/ReplyMode.h"

#include <array>
#include <optional>

namespace exchange {

enum class TOperatingMode {
    omWertLesen,   // "Wert lesen"
    omDateiLesen,  // "Datei lesen"; also run when the readout directory changes
    omUhrStellen,  // "Uhr stellen"
    omKonfig,      // "Konfiguration" (its button is never shown)
};

inline constexpr std::array<TOperatingMode, 4> kAllModes = {TOperatingMode::omWertLesen, TOperatingMode::omDateiLesen,
                                                            TOperatingMode::omUhrStellen, TOperatingMode::omKonfig};

enum class TPollChange { pcUnchanged, pcStart, pcStop };

// When the focus is placed, relative to loading the template.
enum class TFocusTiming { ftNotMoved, ftBeforeTemplate, ftLastStep };

// The cover panels Panel1..Panel4, in that order; a visible cover hides its
// group (measurement ID, date, time, configuration).
inline constexpr std::size_t kCoverCount = 4;

struct TModeDef {
    TOperatingMode Mode;
    const char* Handler;  // the radio button's click handler
    TPollChange Poll;
    int PollStep;  // the handler's step at which the poll changes; 0 when unchanged
    bool SystemzeitVisible;
    bool ResetsReadoutPath;  // before the covers are switched
    std::array<bool, kCoverCount> CoverVisible;
    bool FileChoosersVisible;  // drive chooser, directory chooser and Datei
    TCommand Command;          // its template goes into Ergebnis4
    TReplyMode ReplyMode;
    std::optional<TEntryField> Focus;
    TFocusTiming FocusTiming;
    bool FillsClock;  // date and time fields and frame from Panel5
};

const TModeDef& ModeDef(TOperatingMode mode);

}  // namespace exchange
