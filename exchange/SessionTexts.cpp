#include "exchange/SessionTexts.h"

#include <array>

namespace exchange {

namespace {

struct TTextRow {
    TSessionText Text;
    const char* German;  // Windows-1252
    const char* English;
};

// In the order of TSessionText.
constexpr std::array<TTextRow, 28> kTexts = {{
    {TSessionText::stRefused, "Ger\xE4t meldet: {answer}", "Device reports: {answer}"},
    {TSessionText::stNoAnswer, "Das Ger\xE4t an {port} antwortet nicht", "The device on {port} does not answer"},
    {TSessionText::stLossInDay,
     "Das Ger\xE4t an {port} ist nicht mehr da: {lines} vom {day} gespeichert, der Tag ist unvollst\xE4ndig",
     "The device on {port} has gone: {lines} of {day} stored, the day is incomplete"},
    {TSessionText::stLoss, "Das Ger\xE4t an {port} ist nicht mehr da", "The device on {port} has gone"},
    {TSessionText::stDayCut, "Tag {day} abgebrochen: {lines} gespeichert", "Day {day} cut short: {lines} stored"},
    {TSessionText::stDayWaits,
     "Der {day} wird noch \xFC"
     "bertragen: die Anfrage folgt danach",
     "{day} is still arriving: the request follows it"},
    {TSessionText::stLineTooLong,
     "Eine Zeile ohne Zeilenende war zu lang und wurde gek\xFC"
     "rzt",
     "A line without line end was too long and was cut"},
    {TSessionText::stStaleClock, "{clock} (veraltet)", "{clock} (stale)"},
    {TSessionText::stLines, "{count} Zeilen", "{count} lines"},
    {TSessionText::stLine, "1 Zeile", "1 line"},
    {TSessionText::stPortInUse, "{port} wird von einem anderen Programm benutzt.",
     "{port} is in use by another program."},
    {TSessionText::stPortRefused, "Der Zugriff auf {port} wird verweigert.", "Access to {port} is refused."},
    {TSessionText::stPortNoDevice, "An {port} ist kein Ger\xE4t angeschlossen.", "No device is connected to {port}."},
    {TSessionText::stPortNotOpened, "{port} kann nicht ge\366ffnet werden.", "{port} cannot be opened."},
    {TSessionText::stPortFailed, "Die Schnittstelle {port} meldet einen Fehler.", "The port {port} reports a failure."},
    {TSessionText::stPortUnknown, "Keine Schnittstelle {port} angeschlossen", "No port {port} is connected"},
    {TSessionText::stFileRefused, "Zugriff verweigert: in diesem Ordner darf nicht geschrieben werden.",
     "Access refused: this folder may not be written to."},
    {TSessionText::stFolderGone, "Den Ordner gibt es nicht mehr.", "The folder no longer exists."},
    {TSessionText::stDiskFull, "Der Datentr\xE4ger ist voll.", "The disk is full."},
    {TSessionText::stNameInvalid, "Der Dateiname ist hier ung\xFCltig.", "The file name is not valid here."},
    {TSessionText::stNameTaken, "Unter diesem Namen gibt es schon einen Ordner.",
     "A folder of this name already exists."},
    {TSessionText::stFileFailed, "Die Datei l\xE4sst sich nicht anlegen (Fehler {code}).",
     "The file cannot be created (error {code})."},
    {TSessionText::stFolder, "Ordner:", "Folder:"},
    {TSessionText::stTallyStored, "{lines} gespeichert", "{lines} stored"},
    {TSessionText::stTallyBadChecksum, ", {count} mit falscher Pr\374fsumme", ", {count} with a wrong checksum"},
    {TSessionText::stTallyLost, ", {count} nicht gespeichert", ", {count} not stored"},
    {TSessionText::stBadChecksum, "Pr\374fsumme der Antwort falsch: empfangen '{received}', berechnet {computed}",
     "Wrong checksum in the answer: received '{received}', computed {computed}"},
    {TSessionText::stNextDay, "F\374r den n\344chsten Tag \"{mode}\" w\344hlen", "For the next day, choose \"{mode}\""},
}};

constexpr bool InTextOrder()
{
    for (std::size_t i = 0; i < kTexts.size(); ++i)
        if (static_cast<std::size_t>(kTexts[i].Text) != i) return false;
    return true;
}
static_assert(InTextOrder(), "SessionText indexes the table by TSessionText");

}  // namespace

namespace {

template <typename Values>
std::string Fill(TSessionText text, TTextLanguage language, const Values& values)
{
    const TTextRow& row = kTexts[static_cast<std::size_t>(text)];
    std::string out = language == TTextLanguage::tlEnglish ? row.English : row.German;
    for (const auto& [name, value] : values) {
        const std::string placeholder = std::string("{") + name + "}";
        // Values are inserted once each; a value holding a placeholder stays as it is.
        if (const std::size_t at = out.find(placeholder); at != std::string::npos)
            out.replace(at, placeholder.size(), value);
    }
    return out;
}

}  // namespace

std::string SessionText(TSessionText text, TTextLanguage language, TTextArgs args)
{
    return Fill(text, language, args);
}

std::string SessionText(TSessionText text, TTextLanguage language, const TTextValues& values)
{
    return Fill(text, language, values);
}

std::string LinesText(int count, TTextLanguage language)
{
    if (count == 1) return SessionText(TSessionText::stLine, language);
    return SessionText(TSessionText::stLines, language, {{"count", std::to_string(count)}});
}

}  // namespace exchange
