// The caption language: the flag buttons re-caption exactly the 26 controls of
// the table, hidden and covered ones included, and touch nothing else.

#include "tests/support/WindowControl.h"
#include "UiTestSupport.h"

#include "ui/Edit.h"
#include "ui/RadioButton.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMenu>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

QString L1(const char* latin1)
{
    return QString::fromLatin1(latin1);
}

// The table as written down, in Windows-1252 bytes read as Latin-1 (the two
// agree for every character used).
struct ExpectedRow {
    const char* Control;
    QString German;
    QString English;
};
const std::vector<ExpectedRow> kTable = {
    {"Schnittst", "Schnittstelle", "interface"},
    {"L_SystZeit", "Systemzeit", "system time"},
    {"Uebertragen",
     L1("\xDC"
        "bertragen"),
     "transmit"},
    {"Ausgabe", "Ausgabe", "output"},
    {"Rueckgab",
     L1("R\xFC"
        "ckgabe"),
     "feedback"},
    {"Ausw", "Auswahl", "selection"},
    {"Wert_lesen", "Wert lesen", "read value"},
    {"Datei_lesen", "Datei lesen", "read file"},
    {"Uhr_stellen", "Uhr stellen", "set clock"},
    {"Konfig", "Konfiguration", "configuration"},
    {"Mess_Id", "Mess-ID-Nr.", "meas-ID-No."},
    {"Jahr", "JJ", "yy"},
    {"Mon", "MM", "mm"},
    {"Tag", "TT", "dd"},
    {"Datum", "Datum", "date"},
    {"Stnd", "HH", "hh"},
    {"Min", "MM", "mm"},
    {"Sek", "SS", "ss"},
    {"Systemzeit",
     L1("Systemzeit \xFC"
        "bernehmen"),
     "set system time"},
    {"Konfiguration",
     "Dez" + QString(13, ' ') + "Speicher-ID" + QString(6, ' ') + L1("Z\xE4hler-ID") + QString(7, ' ') + "Winterzeit" +
         QString(7, ' ') + "Sommerzeit",
     "dez" + QString(13, ' ') + "memory-id" + QString(8, ' ') + "counter-id" + QString(6, ' ') + "winter time" +
         QString(6, ' ') + "summer time"},
    {"Pfad_Datei", "Pfad / Datei", "path / file"},
    {"StaticText1", L1("Z\xE4hler-ID"), "counter-ID"},
    {"StaticText2", "Datum/Uhrzeit", "date/time "},
    {"StaticText3", "Mess-ID", "meas-ID"},
    {"StaticText4", "Messwert", "value"},
    {"StaticText5", "Ausgelesener Wert", "read value"},
};

// Every visible trait of every widget and menu item, keyed by an identity.
QMap<QString, QString> Snapshot(const TSDIAppForm* form)
{
    QMap<QString, QString> traits;
    int unnamed = 0;
    for (const QWidget* w : form->findChildren<QWidget*>()) {
        const QString key = w->objectName().isEmpty() ? QString("#%1").arg(unnamed++) : w->objectName();
        QString t = QString("vis=%1 en=%2").arg(w->isVisibleTo(form)).arg(w->isEnabled());
        if (auto* label = qobject_cast<const QLabel*>(w)) t += " text=" + label->text();
        if (auto* button = qobject_cast<const QAbstractButton*>(w))
            t += QString(" text=%1 checked=%2").arg(button->text()).arg(button->isChecked());
        if (auto* edit = qobject_cast<const QLineEdit*>(w)) t += " edit=" + edit->text();
        traits[key] = t;
    }
    for (const QAction* a : form->findChildren<QAction*>())
        traits["action:" + a->text()] = a->statusTip() + "|" + a->toolTip();
    traits["title"] = form->windowTitle();
    return traits;
}

class Captions : public testing::Test {
protected:
    TFormHolder<> form{FixedTestTime};

    QString CaptionOfControl(const char* name) const
    {
        const QWidget* w = form->findChild<QWidget*>(name);
        if (auto* label = qobject_cast<const QLabel*>(w)) return label->text();
        if (auto* button = qobject_cast<const QAbstractButton*>(w)) return button->text();
        return "<no caption>";
    }
};

TEST_F(Captions, EnglishFlagReCaptionsTheTableAndNothingElse)
{
    Ctl<TRadioButton>(form, "Wert_lesen")->SetChecked(true);
    Ctl<TPanel>(form, "Panel6")->hide();
    Ctl<TButton>(form, "Uebertragen")->setEnabled(true);
    QTest::keyClick(Ctl<TEdit>(form, "MessID"), Qt::Key_A, Qt::ControlModifier);  // typed, not committed
    QTest::keyClicks(Ctl<TEdit>(form, "MessID"), "0042");
    Ctl<TFrameLabel>(form, "Ergebnis4")
        ->setText("\x02"
                  "6000_00_000000\x03");
    const QMap<QString, QString> before = Snapshot(form.get());

    Ctl<QPushButton>(form, "BitBtn2")->click();
    for (const ExpectedRow& row : kTable) EXPECT_EQ(CaptionOfControl(row.Control), row.English) << row.Control;

    QMap<QString, QString> after = Snapshot(form.get());
    QMap<QString, QString> expected = before;
    for (const ExpectedRow& row : kTable) {
        after.remove(row.Control);
        expected.remove(row.Control);
    }
    EXPECT_EQ(after, expected);

    // The captions that stay German in both languages.
    EXPECT_EQ(CaptionOfControl("Uhrzeit"), "Uhrzeit");
    EXPECT_EQ(CaptionOfControl("Label20"), "QD-TR25");
    EXPECT_EQ(CaptionOfControl("StaticText6"), "m");
    EXPECT_EQ(CaptionOfControl("Button1"), "MD5 Checksum");
    EXPECT_EQ(Ctl<QMenu>(form, "File1")->title(), "&Datei");
}

TEST_F(Captions, HiddenAndCoveredControlsReceiveTheirCaptions)
{
    ASSERT_FALSE(Ctl<TButton>(form, "Systemzeit")->isVisibleTo(form.get()));
    ASSERT_TRUE(Covered(Ctl<TRadioButton>(form, "Wert_lesen")));
    QTest::mouseClick(Ctl<QPushButton>(form, "BitBtn2"), Qt::LeftButton);
    EXPECT_EQ(Ctl<TButton>(form, "Systemzeit")->text(), "set system time");
    EXPECT_EQ(Ctl<TRadioButton>(form, "Wert_lesen")->text(), "read value");
    EXPECT_EQ(Ctl<TRadioButton>(form, "Konfig")->text(), "configuration");
    EXPECT_FALSE(Ctl<TButton>(form, "Systemzeit")->isVisibleTo(form.get()));
    EXPECT_FALSE(Ctl<TRadioButton>(form, "Konfig")->isVisibleTo(form.get()));
    EXPECT_TRUE(Covered(Ctl<TRadioButton>(form, "Wert_lesen")));
}

TEST_F(Captions, GermanFlagRestoresTheStoredCaptionsExactly)
{
    const QMap<QString, QString> stored = Snapshot(form.get());
    Ctl<QPushButton>(form, "BitBtn2")->click();
    ASSERT_NE(Snapshot(form.get()), stored);
    Ctl<QPushButton>(form, "BitBtn1")->click();
    EXPECT_EQ(Snapshot(form.get()), stored);
    for (const ExpectedRow& row : kTable) EXPECT_EQ(CaptionOfControl(row.Control), row.German) << row.Control;
    EXPECT_EQ(kTable[19].German.size(), 76);
    EXPECT_EQ(kTable[19].English.size(), 77);

    Ctl<QPushButton>(form, "BitBtn2")->click();
    const QMap<QString, QString> english = Snapshot(form.get());
    Ctl<QPushButton>(form, "BitBtn2")->click();  // the same flag again changes nothing
    EXPECT_EQ(Snapshot(form.get()), english);
}

}  // namespace
