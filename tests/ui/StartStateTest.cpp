// The main window as the operator first sees it: every control's text,
// visibility, cover, enabled state and maximum length, the layout grid, the
// colours and fonts, the menu and the components.

#include "tests/support/WindowControl.h"
#include "UiTestSupport.h"

#include "ui/Artwork.h"
#include "portlist/ComAvailable.h"
#include "ui/ComboBox.h"
#include "ui/Edit.h"
#include "ui/MouseButton.h"
#include "ui/Panel.h"
#include "ui/PathLabel.h"
#include "ui/RadioButton.h"
#include "ui/Timer.h"

#include <QAbstractButton>
#include <QDir>
#include <QFontInfo>
#include <QImageReader>
#include <QFontMetrics>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>

#include <gtest/gtest.h>

namespace {

enum class Shown { Visible, Covered, Hidden };

struct ControlRow {
    const char* Name;
    QString Text;
    Shown State;
    const char* Cover;  // for Covered: the panel lying over it
    int MaxLength;      // edits only, else 0
    bool Enabled = true;
};

QString L1(const char* latin1)
{
    return QString::fromLatin1(latin1);
}

const QString kKonfigHeads = L1("Dez") + QString(13, ' ') + L1("Speicher-ID") + QString(6, ' ') + L1("Z\xE4hler-ID") +
                             QString(7, ' ') + L1("Winterzeit") + QString(7, ' ') + L1("Sommerzeit");

const std::vector<ControlRow> kControls = {
    {"Panel6", "", Shown::Visible, nullptr, 0},
    {"Ausw", "Auswahl", Shown::Covered, "Panel6", 0},
    {"Wert_lesen", "Wert lesen", Shown::Covered, "Panel6", 0},
    {"Datei_lesen", "Datei lesen", Shown::Covered, "Panel6", 0},
    {"Uhr_stellen", "Uhr stellen", Shown::Hidden, nullptr, 0},
    {"Konfig", "Konfiguration", Shown::Hidden, nullptr, 0},
    {"Schnittst", "Schnittstelle", Shown::Visible, nullptr, 0},
    {"L_SystZeit", "Systemzeit", Shown::Visible, nullptr, 0},
    {"Label20", "QD-TR25", Shown::Visible, nullptr, 0},
    {"Modulzeit", "", Shown::Visible, nullptr, 0},
    {"Panel1", "", Shown::Visible, nullptr, 0},
    {"Systemzeit",
     L1("Systemzeit \xFC"
        "bernehmen"),
     Shown::Hidden, nullptr, 0},
    {"Mess_Id", "Mess-ID-Nr.", Shown::Covered, "Panel1", 0},
    {"MessID", "0000", Shown::Covered, "Panel1", 4},
    {"Panel2", "", Shown::Visible, nullptr, 0, false},
    {"Datum", "Datum", Shown::Covered, "Panel2", 0},
    {"Jahr", "JJ", Shown::Covered, "Panel2", 0},
    {"Mon", "MM", Shown::Covered, "Panel2", 0},
    {"Tag", "TT", Shown::Covered, "Panel2", 0},
    {"JJ", "00", Shown::Covered, "Panel2", 2},
    {"MM", "00", Shown::Covered, "Panel2", 2},
    {"TT", "00", Shown::Covered, "Panel2", 2},
    {"Label4", "-", Shown::Covered, "Panel2", 0},
    {"Label6", "-", Shown::Covered, "Panel2", 0},
    {"Panel3", "", Shown::Visible, nullptr, 0},
    {"Uhrzeit", "Uhrzeit", Shown::Covered, "Panel3", 0},
    {"Stnd", "HH", Shown::Covered, "Panel3", 0},
    {"Min", "MM", Shown::Covered, "Panel3", 0},
    {"Sek", "SS", Shown::Covered, "Panel3", 0},
    {"hh", "00", Shown::Covered, "Panel3", 2},
    {"m_m", "00", Shown::Covered, "Panel3", 2},
    {"ss", "00", Shown::Covered, "Panel3", 2},
    {"Label11", "-", Shown::Covered, "Panel3", 0},
    {"Label12", "-", Shown::Covered, "Panel3", 0},
    {"Panel4", "", Shown::Visible, nullptr, 0},
    {"Konfiguration", kKonfigHeads, Shown::Covered, "Panel4", 0},
    {"Dezimale", "0", Shown::Covered, "Panel4", 1},
    {"Speicher_ID", "000000", Shown::Covered, "Panel4", 6},
    {"Zaehler_ID", "0000", Shown::Covered, "Panel4", 4},
    {"Winter", "0", Shown::Covered, "Panel4", 1},
    {"Sommer", "0", Shown::Covered, "Panel4", 1},
    {"L_CRC", "L_CRC", Shown::Hidden, nullptr, 0},
    {"Uebertragen",
     L1("\xDC"
        "bertragen"),
     Shown::Visible, nullptr, 0, false},
    {"Ausgabe", "Ausgabe", Shown::Visible, nullptr, 0},
    {"Ergebnis4", "", Shown::Visible, nullptr, 0},
    {"Rueckgab",
     L1("R\xFC"
        "ckgabe"),
     Shown::Visible, nullptr, 0},
    {"Rueckgabe", "", Shown::Visible, nullptr, 0},
    {"DriveComboBox1", "", Shown::Hidden, nullptr, 0},
    {"DirectoryListBox1", "", Shown::Hidden, nullptr, 0},
    {"Pfad_Datei", "Pfad / Datei", Shown::Visible, nullptr, 0},
    {"Datei", "", Shown::Hidden, nullptr, 0},  // holds the current directory
    {"Button1", "MD5 Checksum", Shown::Visible, nullptr, 0},
    {"Software", "", Shown::Visible, nullptr, 0},
    {"StaticText5", "Ausgelesener Wert", Shown::Visible, nullptr, 0},
    {"StaticText1", L1("Z\xE4hler-ID"), Shown::Visible, nullptr, 0},
    {"StaticText2", "Datum/Uhrzeit", Shown::Visible, nullptr, 0},
    {"StaticText3", "Mess-ID", Shown::Visible, nullptr, 0},
    {"StaticText4", "Messwert", Shown::Visible, nullptr, 0},
    {"ID_Zaehler", "", Shown::Visible, nullptr, 0},
    {"Datum_Zeit", "", Shown::Visible, nullptr, 0},
    {"ID_Mess", "", Shown::Visible, nullptr, 0},
    {"Messwert", "", Shown::Visible, nullptr, 0},
    {"StaticText6", "m", Shown::Visible, nullptr, 0},
    {"BitBtn1", "", Shown::Visible, nullptr, 0},
    {"BitBtn2", "", Shown::Visible, nullptr, 0},
    {"ToolBar1", "", Shown::Visible, nullptr, 0},
    {"StatusBar", "", Shown::Visible, nullptr, 0},
};

QString TextOf(const QWidget* w)
{
    if (auto* label = qobject_cast<const QLabel*>(w)) return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(w)) return button->text();
    if (auto* edit = qobject_cast<const QLineEdit*>(w)) return edit->text();
    return QString();
}

// The visible cover panel stacked above `w` whose rectangle encloses it,
// found from geometry and stacking order alone.
QString EnclosingCover(const QWidget* w)
{
    const QWidget* parent = w->parentWidget();
    const QObjectList& stacking = parent->children();
    for (const char* name : {"Panel1", "Panel2", "Panel3", "Panel4", "Panel6"}) {
        const auto* cover = parent->findChild<const QWidget*>(name, Qt::FindDirectChildrenOnly);
        if (!cover || cover == w || cover->isHidden()) continue;
        if (stacking.indexOf(const_cast<QWidget*>(cover)) > stacking.indexOf(const_cast<QWidget*>(w)) &&
            cover->geometry().contains(w->geometry()))
            return QString::fromLatin1(name);
    }
    return QString();
}

class StartState : public testing::Test {
protected:
    TFormHolder<> form{FixedTestTime};

    int S(int v) const { return qRound(v * form->screen()->logicalDotsPerInch() / 96.0); }
    QWidget* Find(const char* name) const { return form->findChild<QWidget*>(QString::fromLatin1(name)); }
};

TEST_F(StartState, EveryControlHasItsTextStateAndLength)
{
    for (const ControlRow& row : kControls) {
        SCOPED_TRACE(row.Name);
        QWidget* w = Find(row.Name);
        ASSERT_NE(w, nullptr);
        if (auto* path = qobject_cast<TPathLabel*>(w)) {
            EXPECT_EQ(path->Path(), QDir::currentPath());  // the chooser's folder
        } else if (!row.Text.isEmpty() || qobject_cast<QLabel*>(w) || qobject_cast<QLineEdit*>(w)) {
            EXPECT_EQ(TextOf(w), row.Text);
        }
        EXPECT_EQ(w->isEnabled(), row.Enabled);
        switch (row.State) {
        case Shown::Visible:
            EXPECT_TRUE(w->isVisibleTo(form.get()));
            EXPECT_EQ(EnclosingCover(w), QString());
            EXPECT_FALSE(Covered(w));
            break;
        case Shown::Covered:
            EXPECT_TRUE(w->isVisibleTo(form.get()));
            EXPECT_EQ(EnclosingCover(w), QString::fromLatin1(row.Cover));
            EXPECT_TRUE(Covered(w));
            break;
        case Shown::Hidden: EXPECT_FALSE(w->isVisibleTo(form.get())); break;
        }
        const auto* edit = qobject_cast<TEdit*>(w);
        EXPECT_EQ(edit ? edit->MaxLength() : 0, row.MaxLength);
        const auto* radio = qobject_cast<TRadioButton*>(w);
        EXPECT_FALSE(radio && radio->Checked());
    }
}

TEST_F(StartState, SystemzeitSitsInsidePanel1)
{
    EXPECT_EQ(Ctl<TButton>(form, "Systemzeit")->parentWidget(), Ctl<TPanel>(form, "Panel1"));
    EXPECT_EQ(Ctl<TButton>(form, "Systemzeit")->geometry(), QRect(S(6), S(11), S(205), S(41)));
    Ctl<TButton>(form, "Systemzeit")->show();
    Ctl<TPanel>(form, "Panel1")->hide();
    EXPECT_FALSE(Ctl<TButton>(form, "Systemzeit")->isVisibleTo(form.get()));  // shown only while its panel is
}

TEST_F(StartState, ControlsStandOnTheStoredGrid)
{
    struct Place {
        const char* Name;
        int X, Y, W, H;
    };
    const Place places[] = {
        {"Panel6", 32, 33, 217, 113},
        {"Panel1", 126, 179, 215, 72},
        {"Panel2", 344, 173, 217, 81},
        {"Panel3", 588, 179, 215, 72},
        {"Panel4", 192, 257, 522, 71},
        {"BitBtn1", 850, 8, 65, 34},
        {"BitBtn2", 941, 8, 65, 33},
        {"Panel5", 448, 116, 155, 32},
        {"Modulzeit", 646, 116, 185, 33},
        {"Uebertragen", 140, 344, 237, 57},
        {"Button1", 784, 340, 222, 33},
        {"Software", 731, 382, 303, 26},
        {"DirectoryListBox1", 416, 368, 298, 98},
        {"ID_Zaehler", 28, 640, 177, 33},
        {"Datum_Zeit", 224, 640, 177, 33},
        {"ID_Mess", 422, 640, 177, 33},
        {"Messwert", 620, 640, 177, 33},
    };
    for (const Place& p : places) {
        SCOPED_TRACE(p.Name);
        EXPECT_EQ(Find(p.Name)->geometry(), QRect(S(p.X), S(p.Y), S(p.W), S(p.H)));
    }
    EXPECT_EQ(Find("Konfig")->pos(), QPoint(S(126), S(125)));
    EXPECT_EQ(Find("ss")->geometry().topLeft(), QPoint(S(747), S(216)));
}

TEST_F(StartState, ClientAreaKeepsItsControlsWhenResized)
{
    form->show();
    QWidget* client = form->centralWidget();
    EXPECT_EQ(client->width(), S(1042));
    EXPECT_EQ(client->height() + Ctl<QStatusBar>(form, "StatusBar")->height(), S(754));
    EXPECT_EQ(Ctl<QToolBar>(form, "ToolBar1")->geometry(), QRect(0, 0, S(1042), S(30)));

    const QRect before = Ctl<TButton>(form, "Button1")->geometry();
    form->resize(form->width() + 200, form->height() + 100);
    ASSERT_TRUE(QTest::qWaitFor([&] { return client->width() == S(1042) + 200; }, 5000));
    EXPECT_EQ(Ctl<QToolBar>(form, "ToolBar1")->geometry(), QRect(0, 0, S(1042) + 200, S(30)));
    EXPECT_EQ(Ctl<TButton>(form, "Button1")->geometry(), before);
    EXPECT_EQ(Ctl<QStatusBar>(form, "StatusBar")->geometry().bottom(), form->height() - 1);
    EXPECT_EQ(Ctl<QStatusBar>(form, "StatusBar")->width(), form->width());
    EXPECT_TRUE(Ctl<QStatusBar>(form, "StatusBar")->isSizeGripEnabled());
}

TEST_F(StartState, WindowCaptionColoursAndFonts)
{
    EXPECT_EQ(form->objectName(), "SDIAppForm");
    EXPECT_EQ(form->windowTitle(), "Tornvale Lindqvarn GmbH");
    EXPECT_EQ(form->palette().color(QPalette::Window), form->palette().color(QPalette::Button));
    const std::pair<const char*, QColor> fills[] = {{"ID_Zaehler", QColor(255, 255, 0)},
                                                    {"Messwert", QColor(255, 255, 0)},
                                                    {"Ergebnis4", QColor(0xFF, 0xFB, 0xF0)},
                                                    {"Rueckgabe", QColor(0xFF, 0xFB, 0xF0)},
                                                    {"Software", Qt::white}};
    for (const auto& [name, colour] : fills) {
        EXPECT_TRUE(Find(name)->autoFillBackground()) << name;
        EXPECT_EQ(Find(name)->palette().color(QPalette::Window), colour) << name;
    }
    for (const char* name : {"Panel5", "Modulzeit", "ID_Zaehler", "Messwert"})
        EXPECT_EQ(qobject_cast<QFrame*>(Find(name))->frameShadow(), QFrame::Raised) << name;
    EXPECT_EQ(Ctl<TFrameLabel>(form, "Ergebnis4")->font().pixelSize(), S(8));
    EXPECT_EQ(Ctl<TEdit>(form, "MessID")->font().pixelSize(), S(13));
    EXPECT_TRUE(Ctl<QLabel>(form, "Rueckgabe")->font().bold());
}

// STX, ETX and CR are drawn with glyphs the frame display's own font has
// (no fallback, no empty box), big enough to tell apart at its small size.
TEST_F(StartState, FrameDisplayDrawsItsControlCharactersWithGlyphsOfItsFont)
{
    const QFont font = Ctl<TFrameLabel>(form, "Ergebnis4")->font();
    EXPECT_EQ(QFontInfo(font).family(), "DejaVu Sans");  // the font the set-up installs
    const QFontMetrics metrics(font);
    const QString shown = VisibleControlCharacters(QString::fromLatin1("\x02"
                                                                       "60_ 9\x03\r"));
    ASSERT_EQ(shown.size(), 8);
    EXPECT_EQ(shown.mid(1, 5), "60_ 9");
    QString symbols;
    for (const qsizetype at : {0, 6, 7}) {
        const QChar symbol = shown.at(at);
        SCOPED_TRACE(int(symbol.unicode()));
        EXPECT_GE(symbol.unicode(), 0x20);
        EXPECT_TRUE(metrics.inFontUcs4(symbol.unicode()));
        const QRect ink = metrics.tightBoundingRect(QString(symbol));
        EXPECT_GE(ink.width(), 3);
        EXPECT_GE(ink.height(), 3);
        EXPECT_FALSE(symbols.contains(symbol));
        symbols += symbol;
    }
    EXPECT_EQ(VisibleControlCharacters(QString::fromLatin1("\x01\x1f\x7f")), "^A^_^?");
}

TEST_F(StartState, ConfigurationHeadsFitInsideTheirCover)
{
    // The head line must not reach out from under Panel4 in either language.
    QLabel* heads = Ctl<QLabel>(form, "Konfiguration");
    const int room = Ctl<TPanel>(form, "Panel4")->geometry().right() - heads->geometry().left();
    for (int language : {2, 1}) {
        QTest::mouseClick(Ctl<QPushButton>(form, language == 2 ? "BitBtn2" : "BitBtn1"), Qt::LeftButton);
        EXPECT_LE(heads->fontMetrics().horizontalAdvance(heads->text()), room) << heads->text().toStdString();
    }
    EXPECT_TRUE(Ctl<TPanel>(form, "Panel4")->geometry().contains(heads->geometry()));
}

TEST_F(StartState, PortListComesFromDiscoveryWithNothingChosen)
{
    EXPECT_EQ(Ctl<TComboBox>(form, "Schnittstelle")->currentIndex(), -1);
    EXPECT_EQ(Ctl<TComboBox>(form, "Schnittstelle")->Text(), QString());
    QStringList items;
    for (int i = 0; i < Ctl<TComboBox>(form, "Schnittstelle")->count(); ++i)
        items << Ctl<TComboBox>(form, "Schnittstelle")->itemText(i);
    EXPECT_EQ(items, GetComAvailable());
    EXPECT_FALSE(items.contains(QString()));  // the stored empty entry is gone
}

TEST_F(StartState, MenuWithSeparatorAboveBeenden)
{
    ASSERT_EQ(Ctl<QMenuBar>(form, "MainMenu1")->actions(), QList<QAction*>{Ctl<QMenu>(form, "File1")->menuAction()});
    EXPECT_EQ(Ctl<QMenu>(form, "File1")->title(), "&Datei");
    const QList<QAction*> items = Ctl<QMenu>(form, "File1")->actions();
    ASSERT_EQ(items, (QList<QAction*>{Ctl<QAction>(form, "N1"), Ctl<QAction>(form, "FileExitItem")}));
    EXPECT_TRUE(Ctl<QAction>(form, "N1")->isSeparator());
    EXPECT_EQ(Ctl<QAction>(form, "FileExitItem")->text(), "&Beenden");
    EXPECT_EQ(Ctl<QAction>(form, "FileExitItem")->toolTip(), "Beenden");
}

TEST_F(StartState, StatusBarShowsTheLongHintOfTheItemUnderThePointer)
{
    form->show();
    EXPECT_EQ(Ctl<QStatusBar>(form, "StatusBar")->currentMessage(), QString());
    Ctl<QMenuBar>(form, "MainMenu1")->setActiveAction(Ctl<QMenu>(form, "File1")->menuAction());  // the menu is opened
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return Ctl<QStatusBar>(form, "StatusBar")->currentMessage() == "Dateibefehle"; }, 5000));
    Ctl<QMenu>(form, "File1")->setActiveAction(Ctl<QAction>(form, "FileExitItem"));  // the pointer rests on "Beenden"
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return Ctl<QStatusBar>(form, "StatusBar")->currentMessage() == "Programm beenden"; }, 5000));
    Ctl<QMenu>(form, "File1")->close();
}

TEST_F(StartState, ComponentsStartClosedAndStopped)
{
    EXPECT_FALSE(Ctl<TTimer>(form, "Timer1")->Enabled());
    EXPECT_EQ(Ctl<TTimer>(form, "Timer1")->interval(), 1000);
    EXPECT_FALSE(form->Session().Port().Connected());
    EXPECT_EQ(form->Session().Port().EventChar(), 10);  // the stored settings are loaded
    EXPECT_TRUE(bool(form->Session().Port().OnRxFlag()));
}

TEST(Artwork, FlagsAndIconHaveTheirSizesAndColours)
{
    const QImage german = GermanFlagBitmap().toImage();
    ASSERT_EQ(german.size(), QSize(64, 39));
    EXPECT_EQ(german.pixelColor(32, 6), QColor(0, 0, 0));
    EXPECT_EQ(german.pixelColor(0, 19), QColor(0xDD, 0, 0));
    EXPECT_EQ(german.pixelColor(63, 38), QColor(0xFF, 0xCE, 0x00));
    EXPECT_EQ(UnionFlagBitmap().size(), QSize(65, 33));
    EXPECT_TRUE(ApplicationIcon().availableSizes().contains(QSize(32, 32)));
}

// Tornvale.exe carries the committed packaging/windows/Tornvale.ico (the
// cross-build runs no program of its own); it must show the artwork drawn
// here, in every size. After a change of the artwork:
//   build/bin/tornvale-icons --ico packaging/windows/Tornvale.ico
TEST(Artwork, WindowsIconFileHoldsTheArtworkInEverySize)
{
    QImageReader reader(QStringLiteral(TORNVALE_SOURCE_DIR "/packaging/windows/Tornvale.ico"), "ico");
    ASSERT_TRUE(reader.canRead()) << reader.errorString().toStdString();
    ASSERT_EQ(reader.imageCount(), int(kApplicationIconSizes.size()));
    for (int i = 0; i < reader.imageCount(); ++i) {
        ASSERT_TRUE(reader.jumpToImage(i));
        const QImage stored = reader.read().convertToFormat(QImage::Format_ARGB32);
        const int size = kApplicationIconSizes[std::size_t(i)];
        ASSERT_EQ(stored.size(), QSize(size, size)) << "image " << i;
        EXPECT_EQ(stored, ApplicationIconImage(size))
            << size << " x " << size << " differs: run tornvale-icons --ico on the file";
    }
}

}  // namespace
