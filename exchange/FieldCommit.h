#pragma once
// Committing an entry field with Enter: the field's text normalised, written
// into the frame at the field's position, the readout file name extended,
// the next focus and whether "Übertragen" is enabled.
//
//   TCommitResult r = CommitField(TEntryField::efJJ,
//                                 {JJ text, Ergebnis4 caption, Datei caption,
//                                  state.ReadoutPath, checked mode});
//   JJ = r.FieldText; Ergebnis4 = r.Frame; Datei = r.Datei; focus r.Focus;
//   if (r.EnableTransmit) enable Übertragen;
//   r.Failure.Raise();
//
// The result is always safe to apply whole: on failure it carries the texts
// as they were (except `Datei`, which the year field resets to the readout
// path before anything can fail) and the focus on the field itself.

#include "exchange/DeferredFailure.h"
#include "exchange/FieldTable.h"
#include "exchange/ModeTable.h"

#include <optional>
#include <string>

namespace exchange {

struct TCommitInput {
    std::string FieldText;
    std::string Frame;  // caption of Ergebnis4
    std::string Datei;  // caption of Datei
    std::string ReadoutPath;
    std::optional<TOperatingMode> CheckedMode;  // none after a transmission
};

struct TCommitResult {
    std::string FieldText;
    std::string Frame;
    std::string Datei;
    TEntryField Focus;
    bool EnableTransmit = false;
    // EConvertError: the text is not an integer ("'x' ist kein gültiger
    // Integerwert"), or it does not fill its place in the frame exactly
    // ("'-5' passt nicht in das Feld: 2 Zeichen erwartet"), which would shift
    // every later field.
    TDeferredFailure Failure;
};

TCommitResult CommitField(TEntryField field, const TCommitInput& input);

}  // namespace exchange
