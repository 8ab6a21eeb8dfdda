#include "cli/CliTexts.h"

#include <QLocale>

#include <array>
#include <cstdlib>
#include <string_view>

namespace cli {

namespace {

struct TRow {
    TCliText Id;
    const char* German;
    const char* English;
};

// clang-format off
constexpr std::array kTexts{
    TRow{TCliText::ctUsageHint, "Hilfe: tornvale-cli --help", "Try 'tornvale-cli --help'."},
    TRow{TCliText::ctUnknownCommand, "Unbekannter Befehl '%1'.", "Unknown command '%1'."},
    TRow{TCliText::ctUnknownOption, "Unbekannte Option '%1' f\u00fcr '%2'.", "Unknown option '%1' for '%2'."},
    TRow{TCliText::ctMissingValue, "Der Option %1 fehlt ihr Wert.", "Option %1 needs a value."},
    TRow{TCliText::ctRepeatedOption, "Die Option %1 steht zweimal da.", "Option %1 is given twice."},
    TRow{TCliText::ctMissingOption, "'%2' braucht die Option %1.", "'%2' needs the option %1."},
    TRow{TCliText::ctNoCommand, "Kein Befehl angegeben.", "No command given."},
    TRow{TCliText::ctBadPort, "'%1' ist keine Schnittstelle (COM1 bis COM255).",
         "'%1' is no port (COM1 to COM255)."},
    TRow{TCliText::ctBadDate, "'%1' ist kein Datum im Kalender (JJJJ-MM-TT).",
         "'%1' is not a date in the calendar (YYYY-MM-DD)."},
    TRow{TCliText::ctBadYear, "'%1': das Ger\u00e4t kennt nur die Jahre 2000 bis 2099.",
         "'%1': the device knows only the years 2000 to 2099."},
    TRow{TCliText::ctRangeBackwards, "--to %2 liegt vor --date %1.", "--to %2 lies before --date %1."},
    TRow{TCliText::ctBadId, "'%1' ist keine Messnummer (1 bis 9999).", "'%1' is no measurement number (1 to 9999)."},
    TRow{TCliText::ctBadTime, "'%1' ist keine Uhrzeit der Form \"JJ.MM.TT hh:mm:ss\".",
         "'%1' is no time of the form \"YY.MM.DD hh:mm:ss\"."},
    TRow{TCliText::ctPcOrTime, "'set-clock' braucht genau eines von --pc und --time.",
         "'set-clock' needs exactly one of --pc and --time."},
    TRow{TCliText::ctNoPorts, "Keine Schnittstelle gefunden.", "No serial port found."},
    TRow{TCliText::ctPortListFailed, "Die Liste der Schnittstellen l\u00e4sst sich nicht lesen: %1",
         "The list of ports cannot be read: %1"},
    TRow{TCliText::ctPortNotOpened, "%1 l\u00e4sst sich nicht \u00f6ffnen: %2", "%1 cannot be opened: %2"},
    TRow{TCliText::ctPortGone, "Das Ger\u00e4t an %1 ist weg: %2", "The device on %1 has gone: %2"},
    TRow{TCliText::ctNoAnswer, "Das Ger\u00e4t an %1 hat nicht innerhalb von %2 s geantwortet.",
         "The device on %1 did not answer within %2 s."},
    TRow{TCliText::ctRefused, "Das Ger\u00e4t lehnt ab: \"%1\"", "The device refused: \"%1\""},
    TRow{TCliText::ctFileNotWritten, "In %1 l\u00e4sst sich nicht schreiben: %2", "Cannot write in %1: %2"},
    TRow{TCliText::ctInterrupted, "Abgebrochen: %1 Datens\u00e4tze vom %2 gespeichert.",
         "Interrupted: %1 records of %2 stored."},
    TRow{TCliText::ctDeviceClock, "Ger\u00e4teuhr", "Device clock"},
    TRow{TCliText::ctPcClock, "PC-Uhr", "PC clock"},
    TRow{TCliText::ctClockSet, "Uhr gestellt auf %1, Antwort: \"%2\"", "Clock set to %1, answer: \"%2\""},
    TRow{TCliText::ctMeasurement, "Mess-ID", "Measurement ID"},
    TRow{TCliText::ctDateTime, "Datum/Uhrzeit", "Date/time"},
    TRow{TCliText::ctCounter, "Z\u00e4hler-ID", "Counter ID"},
    TRow{TCliText::ctValue, "Messwert", "Value"},
    TRow{TCliText::ctChecksumBad, "Pr\u00fcfsumme falsch: empfangen '%1', berechnet %2",
         "Wrong checksum: received '%1', computed %2"},
    TRow{TCliText::ctDaySummary, "%1: %2 Datens\u00e4tze gespeichert in %3", "%1: %2 records stored in %3"},
    TRow{TCliText::ctDayIncomplete, " (unvollst\u00e4ndig)", " (incomplete)"},
    TRow{TCliText::ctDayBadChecksums, "  davon %1 mit falscher Pr\u00fcfsumme", "  %1 of them with a wrong checksum"},
    TRow{TCliText::ctDayNotStored, "  %1 Zeilen nicht gespeichert", "  %1 lines not stored"},
    TRow{TCliText::ctDayProgress, "%1: %2 Datens\u00e4tze", "%1: %2 records"},
    TRow{TCliText::ctHelp,
         "Aufruf:\n"
         "  tornvale-cli ports [--json]\n"
         "  tornvale-cli clock     --port COMn [--json]\n"
         "  tornvale-cli set-clock --port COMn (--pc | --time \"JJ.MM.TT hh:mm:ss\")\n"
         "  tornvale-cli read      --port COMn --date JJJJ-MM-TT --id N [--json]\n"
         "  tornvale-cli download  --port COMn --date JJJJ-MM-TT [--to JJJJ-MM-TT] [--folder VERZ] [--json]\n"
         "  tornvale-cli --help | --version\n"
         "\n"
         "Befehle:\n"
         "  ports      die Schnittstellen dieses PCs, mit Rat f\u00fcr eine, die sich nicht \u00f6ffnen l\u00e4sst\n"
         "  clock      die Uhr des QD-TR25 und die des PCs\n"
         "  set-clock  die Uhr stellen, nach der PC-Uhr (--pc) oder auf die angegebene Zeit\n"
         "  read       einen Messwert lesen, nach Tag und Messnummer\n"
         "  download   die Datens\u00e4tze eines Tages (bis --to: jedes Tages) in JJ_MM_TT.txt im Ordner\n"
         "             (Vorgabe: der aktuelle); Fortschritt auf der Standardfehlerausgabe\n"
         "\n"
         "Optionen:\n"
         "  --json     ein JSON-Dokument auf der Standardausgabe statt Text\n"
         "\n"
         "Ein Ger\u00e4t, das %1 s lang nicht antwortet, gilt als stumm; ein Tag endet, wenn\n"
         "die Leitung %2 ms nach dem letzten Datensatz still ist.\n"
         "\n"
         "R\u00fcckgabewerte:\n"
         "  0  Erfolg\n"
         "  1  falscher Aufruf oder falsche Eingabe; nichts wurde gesendet\n"
         "  2  die Schnittstelle l\u00e4sst sich nicht \u00f6ffnen oder das Ger\u00e4t ist weg\n"
         "  3  das Ger\u00e4t hat nicht rechtzeitig geantwortet oder die Anfrage abgelehnt\n"
         "  4  eine Datei lie\u00df sich nicht schreiben\n"
         "  130  mit Strg+C abgebrochen\n"
         "\n"
         "Die Sprache folgt LC_ALL, LC_MESSAGES oder LANG (de...: Deutsch, sonst Englisch).\n",
         "Usage:\n"
         "  tornvale-cli ports [--json]\n"
         "  tornvale-cli clock     --port COMn [--json]\n"
         "  tornvale-cli set-clock --port COMn (--pc | --time \"YY.MM.DD hh:mm:ss\")\n"
         "  tornvale-cli read      --port COMn --date YYYY-MM-DD --id N [--json]\n"
         "  tornvale-cli download  --port COMn --date YYYY-MM-DD [--to YYYY-MM-DD] [--folder DIR] [--json]\n"
         "  tornvale-cli --help | --version\n"
         "\n"
         "Commands:\n"
         "  ports      this PC's serial ports, with advice for one that cannot be opened\n"
         "  clock      the QD-TR25's clock and the PC's\n"
         "  set-clock  set the clock from the PC clock (--pc) or to the given time\n"
         "  read       read one value, by day and measurement number\n"
         "  download   one day's records (up to --to: each day's) into YY_MM_DD.txt in the folder\n"
         "             (default: the current one); progress on standard error\n"
         "\n"
         "Options:\n"
         "  --json     one JSON document on standard output instead of text\n"
         "\n"
         "A device that does not answer for %1 s counts as silent; a day ends when the\n"
         "line has been quiet for %2 ms after its last record.\n"
         "\n"
         "Exit codes:\n"
         "  0  success\n"
         "  1  bad usage or input; nothing was sent\n"
         "  2  the port cannot be opened, or the device went away\n"
         "  3  the device did not answer in time, or refused the request\n"
         "  4  a file could not be written\n"
         "  130  interrupted with Ctrl+C\n"
         "\n"
         "The language follows LC_ALL, LC_MESSAGES or LANG (de...: German, else English).\n"},
};
// clang-format on

std::string Fill(std::string_view pattern, const std::vector<std::string>& args)
{
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const std::size_t n = std::size_t(pattern[i + 1] - '1');
            if (n < args.size()) {
                out += args[n];
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

}  // namespace

int LanguageFromEnvironment()
{
    // The first that is set decides, as for every program's messages.
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) return std::string_view(value).starts_with("de") ? kLanguageGerman : kLanguageEnglish;
    }
    // None set (as usual on Windows): the system's own language.
    return QLocale::system().language() == QLocale::German ? kLanguageGerman : kLanguageEnglish;
}

std::string Text(TCliText text, int language, const std::vector<std::string>& args)
{
    for (const TRow& row : kTexts)
        if (row.Id == text) return Fill(language == kLanguageGerman ? row.German : row.English, args);
    return {};
}

}  // namespace cli
