#pragma once
// What the device session says in the status bar, in German and English, in
// one place. Placeholders: {port} the COM name, {lines} "3 Zeilen" / "3 lines",
// {day} the day as "07.12.26", {answer} the device's own words, {clock} a
// clock reading. Texts are Windows-1252, as every text of the window.
//
//   status = SessionText(TSessionText::stNoAnswer, language, {{"port", "COM3"}});

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace exchange {

enum class TTextLanguage { tlGerman, tlEnglish };

enum class TSessionText {
    stRefused,      // the device answered "ERR ..."
    stNoAnswer,     // nothing came within the answer time
    stLossInDay,    // the device went away while a day arrived
    stLoss,         // the device went away
    stDayCut,       // another port was chosen while a day arrived
    stDayWaits,     // "Übertragen" while a day still arrives
    stLineTooLong,  // bytes without LF beyond the line limit were dropped
    stStaleClock,   // the device clock's last reading, no longer current
    stLines,        // "{count} Zeilen"
    stLine,         // "1 Zeile"

    // What happened to the chosen port, first in its error box.
    stPortInUse,      // another program holds it
    stPortRefused,    // this user may not open it
    stPortNoDevice,   // nothing answers to the name
    stPortNotOpened,  // it would not open, for another reason
    stPortFailed,     // a call on the open port failed
    stPortUnknown,    // a name typed that the list does not hold

    // Why the day's file could not be created, under its fixed text.
    stFileRefused,
    stFolderGone,
    stDiskFull,
    stNameInvalid,
    stNameTaken,   // a folder bears the file's name
    stFileFailed,  // {code}: the system's error number
    stFolder,      // "Ordner:", before the folder's name

    // A day's download so far.
    stTallyStored,       // "{lines} gespeichert"
    stTallyBadChecksum,  // ", {count} mit falscher Prüfsumme"
    stTallyLost,         // ", {count} nicht gespeichert"
    stBadChecksum,       // a reply whose checksum does not match: {received}, {computed}
    stNextDay,           // a folder chosen after a download: {mode} the caption of "Datei lesen"
};

using TTextArgs = std::initializer_list<std::pair<const char*, std::string>>;

std::string SessionText(TSessionText text, TTextLanguage language, TTextArgs args = {});
// The same with values kept for later (a text said again in another language).
using TTextValues = std::vector<std::pair<const char*, std::string>>;
std::string SessionText(TSessionText text, TTextLanguage language, const TTextValues& values);

// "1 Zeile", "25 Zeilen" in the language.
std::string LinesText(int count, TTextLanguage language);

}  // namespace exchange
