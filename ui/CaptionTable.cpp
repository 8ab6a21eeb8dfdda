#include "ui/CaptionTable.h"

// Row 20 aligns its column heads over the configuration edits by runs of blanks.
const std::array<TCaptionRow, 26> CaptionTable = {{
    {"Schnittst", {u"Schnittstelle", u"interface"}},
    {"L_SystZeit", {u"Systemzeit", u"system time"}},
    {"Uebertragen", {u"\u00DCbertragen", u"transmit"}},
    {"Ausgabe", {u"Ausgabe", u"output"}},
    {"Rueckgab", {u"R\u00FCckgabe", u"feedback"}},
    {"Ausw", {u"Auswahl", u"selection"}},
    {"Wert_lesen", {u"Wert lesen", u"read value"}},
    {"Datei_lesen", {u"Datei lesen", u"read file"}},
    {"Uhr_stellen", {u"Uhr stellen", u"set clock"}},
    {"Konfig", {u"Konfiguration", u"configuration"}},
    {"Mess_Id", {u"Mess-ID-Nr.", u"meas-ID-No."}},
    {"Jahr", {u"JJ", u"yy"}},
    {"Mon", {u"MM", u"mm"}},
    {"Tag", {u"TT", u"dd"}},
    {"Datum", {u"Datum", u"date"}},
    {"Stnd", {u"HH", u"hh"}},
    {"Min", {u"MM", u"mm"}},
    {"Sek", {u"SS", u"ss"}},
    {"Systemzeit", {u"Systemzeit \u00FCbernehmen", u"set system time"}},
    {"Konfiguration",
     {u"Dez             Speicher-ID      Z\u00E4hler-ID       Winterzeit       Sommerzeit",
      u"dez             memory-id        counter-id      winter time      summer time"}},
    {"Pfad_Datei", {u"Pfad / Datei", u"path / file"}},
    {"StaticText1", {u"Z\u00E4hler-ID", u"counter-ID"}},
    {"StaticText2", {u"Datum/Uhrzeit", u"date/time "}},
    {"StaticText3", {u"Mess-ID", u"meas-ID"}},
    {"StaticText4", {u"Messwert", u"value"}},
    {"StaticText5", {u"Ausgelesener Wert", u"read value"}},
}};

QString CaptionOf(const TCaptionRow& row, int language)
{
    return QString::fromUtf16(row.Caption[language == kLanguageEnglish ? 1 : 0]);
}

QString CaptionOf(const char* control, int language)
{
    for (const TCaptionRow& row : CaptionTable)
        if (qstrcmp(row.Control, control) == 0) return CaptionOf(row, language);
    return QString();
}

exchange::TTextLanguage TextLanguageOf(int language)
{
    return language == kLanguageEnglish ? exchange::TTextLanguage::tlEnglish : exchange::TTextLanguage::tlGerman;
}

int CaptionLanguageOf(exchange::TTextLanguage language)
{
    return language == exchange::TTextLanguage::tlEnglish ? kLanguageEnglish : kLanguageGerman;
}
