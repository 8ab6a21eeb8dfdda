#pragma once
// The twelve entry fields: how wide they are, how a commit normalises them,
// where they write into the frame and where the focus goes next.
//
//   const TFieldDef& def = FieldDef(TEntryField::efMM);
//   lineEdit->setMaxLength(def.MaxLength);

#include <array>

namespace exchange {

enum class TEntryField {
    efMessID,
    efJJ,
    efMM,
    efTT,
    efhh,
    efm_m,
    efss,
    efDezimale,
    efSpeicher_ID,
    efZaehler_ID,
    efWinter,
    efSommer,
};

inline constexpr std::array<TEntryField, 12> kAllEntryFields = {
    TEntryField::efMessID,      TEntryField::efJJ,         TEntryField::efMM,     TEntryField::efTT,
    TEntryField::efhh,          TEntryField::efm_m,        TEntryField::efss,     TEntryField::efDezimale,
    TEntryField::efSpeicher_ID, TEntryField::efZaehler_ID, TEntryField::efWinter, TEntryField::efSommer,
};

// Which part of the readout file name a date field builds.
enum class TFileNamePart {
    fnNone,
    fnYear,   // restarts the name from the readout path, then "/" + year
    fnMonth,  // appends "_" + month
    fnDay,    // appends "_" + day + ".txt"
};

// When a commit enables "Übertragen".
enum class TTransmitEnable {
    teNever,
    teAlways,
    teInReadingModes,  // only while "Wert lesen" or "Datei lesen" is checked
};

struct TFieldDef {
    TEntryField Field;
    const char* Name;  // the control's name
    int MaxLength;     // what the operator can type
    const char* InitialText;
    int Width;         // characters the field occupies in the frame
    bool Normalised;   // integer, zero-padded to Width ("%.2d" ...); else the text as typed
    int FramePos;      // 1-based, STX at 1
    TEntryField Next;  // focus after a commit; the day field decides by mode instead
    TFileNamePart FileName;
    TTransmitEnable Transmit;
};

const TFieldDef& FieldDef(TEntryField field);

}  // namespace exchange
