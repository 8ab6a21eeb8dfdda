// The main window's controls in their stored state: positions and sizes on
// the 96-dpi grid of the client area (1042 x 754 below the menu), colours,
// fonts and initial texts.

#include "ui/SDIMain.h"

#include "ui/Artwork.h"
#include "ui/CaptionTable.h"
#include "ui/ComboBox.h"
#include "ui/DirectoryChooser.h"
#include "ui/DriveChooser.h"
#include "ui/Edit.h"
#include "ui/EntryFieldTable.h"
#include "ui/FrameLabel.h"
#include "ui/Hint.h"
#include "ui/MouseButton.h"
#include "ui/Panel.h"
#include "ui/PathLabel.h"
#include "ui/ProgramIdentity.h"
#include "ui/RadioButton.h"
#include "ui/Timer.h"

#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>

namespace {
constexpr int kClientWidth = 1042;
constexpr int kClientHeight = 754;
constexpr int kToolBarHeight = 30;
constexpr int kStatusBarHeight = 19;
constexpr int kFontPixels = 13;
constexpr int kFramePixels = 8;  // the frame display's smaller font
constexpr int kLabelHeight = 17;
constexpr int kEditHeight = 24;

const QColor kYellow(0xFF, 0xFF, 0x00);
const QColor kCream(0xFF, 0xFB, 0xF0);
const QColor kWhite(0xFF, 0xFF, 0xFF);

template <typename W>
W* Named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

void SetBackground(QWidget* widget, const QColor& color)
{
    widget->setAutoFillBackground(true);
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, color);
    widget->setPalette(pal);
}

// The German caption the window is built with, from the caption table.
QString StoredCaption(const char* control)
{
    return CaptionOf(control, kLanguageGerman);
}
}  // namespace

int TSDIAppForm::S(int length96) const
{
    return qRound(length96 * scale_);
}

QRect TSDIAppForm::R(int x, int y, int width, int height) const
{
    return QRect(S(x), S(y), S(width), S(height));
}

void TSDIAppForm::BuildControls()
{
    setObjectName(QStringLiteral("SDIAppForm"));
    setWindowTitle(QStringLiteral(TORNVALE_PRODUCT " " TORNVALE_MAKER));
    if (const QScreen* screen = this->screen()) scale_ = screen->logicalDotsPerInch() / 96.0;

    // The window's colour is the button face; every control inherits the font
    // except the frame display.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Button));
    setPalette(pal);

    client_ = Named(new QWidget(this), "ClientArea");
    client_->setAutoFillBackground(true);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(S(kFontPixels));
    font.setBold(true);
    client_->setFont(font);
    client_->setMinimumSize(0, 0);
    client_->installEventFilter(this);
    setCentralWidget(client_);

    BuildMenu();
    BuildToolBar();
    BuildModeChoice();
    BuildInterfaceAndClocks();
    BuildIdentifierDateTime();
    BuildConfiguration();
    BuildTransmissionAndOutput();
    BuildSoftwareIdentification();
    BuildReadoutDisplay();
    BuildComponents();

    StatusBar = Named(new QStatusBar(this), "StatusBar");
    StatusBar->setFixedHeight(S(kStatusBarHeight));
    StatusBar->setSizeGripEnabled(true);
    setStatusBar(StatusBar);

    // The client area below the menu is 1042 x 754, the status bar included.
    client_->resize(S(kClientWidth), S(kClientHeight - kStatusBarHeight));
    resize(S(kClientWidth), S(kClientHeight) + MainMenu1->sizeHint().height());
    move(S(221), S(93));
    LayOutBars();
}

void TSDIAppForm::BuildMenu()
{
    MainMenu1 = Named(menuBar(), "MainMenu1");
    File1 = Named(MainMenu1->addMenu(QStringLiteral("&Datei")), "File1");
    File1->setToolTipsVisible(true);
    SetHint(File1->menuAction(), QStringLiteral("Dateibefehle"));
    N1 = Named(File1->addSeparator(), "N1");
    FileExitItem = Named(File1->addAction(QStringLiteral("&Beenden")), "FileExitItem");
    SetHint(FileExitItem, QStringLiteral("Beenden|Programm beenden"));
}

void TSDIAppForm::BuildToolBar()
{
    ToolBar1 = Named(new QToolBar(client_), "ToolBar1");
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setContentsMargins(S(1) + S(5), S(1), S(1), S(1));  // border 1, indent 5

    // The flag buttons lie over the tool bar's right end.
    BitBtn1 = Named(new QPushButton(client_), "BitBtn1");
    BitBtn1->setGeometry(R(850, 8, 65, 34));
    BitBtn1->setIcon(GermanFlagBitmap());
    BitBtn1->setIconSize(QSize(64, 39));
    BitBtn2 = Named(new QPushButton(client_), "BitBtn2");
    BitBtn2->setGeometry(R(941, 8, 65, 33));
    BitBtn2->setIcon(UnionFlagBitmap());
    BitBtn2->setIconSize(QSize(65, 33));
    for (QPushButton* flag : {BitBtn1, BitBtn2}) {
        flag->setAutoDefault(false);
        flag->raise();
    }
}

void TSDIAppForm::BuildModeChoice()
{
    Ausw = Named(new QLabel(StoredCaption("Ausw"), client_), "Ausw");
    Ausw->setGeometry(R(40, 58, 80, kLabelHeight));

    Wert_lesen = Named(new TRadioButton(client_, StoredCaption("Wert_lesen")), "Wert_lesen");
    Datei_lesen = Named(new TRadioButton(client_, StoredCaption("Datei_lesen")), "Datei_lesen");
    Uhr_stellen = Named(new TRadioButton(client_, StoredCaption("Uhr_stellen")), "Uhr_stellen");
    Konfig = Named(new TRadioButton(client_, StoredCaption("Konfig")), "Konfig");
    const int rows[] = {56, 79, 102, 125};
    TRadioButton* const buttons[] = {Wert_lesen, Datei_lesen, Uhr_stellen, Konfig};
    for (int i = 0; i < 4; ++i) buttons[i]->setGeometry(R(126, rows[i], 120, 20));
    Uhr_stellen->hide();
    Konfig->hide();

    Panel6 = Named(new TPanel(client_, TPanel::TBevel::bvNone, palette().color(QPalette::Window)), "Panel6");
    Panel6->setGeometry(R(32, 33, 217, 113));
    covers_.push_back(Panel6);
}

void TSDIAppForm::BuildInterfaceAndClocks()
{
    // Three columns, each a centred caption at y 72 above its control at y 116.
    auto caption = [this](const char* name, const QString& text, int x, int width) {
        auto* label = Named(new QLabel(text, client_), name);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
        label->setGeometry(R(x + width / 2 - 80, 72, 160, kLabelHeight));
        return label;
    };
    Schnittst = caption("Schnittst", StoredCaption("Schnittst"), 288, 89);
    Schnittstelle = Named(new TComboBox(client_), "Schnittstelle");
    Schnittstelle->setGeometry(R(288, 116, 89, kEditHeight));
    Schnittstelle->addItem(QString());  // the stored list: one empty entry

    L_SystZeit = caption("L_SystZeit", StoredCaption("L_SystZeit"), 448, 155);
    Panel5 = Named(new TPanel(client_, TPanel::TBevel::bvRaised, palette().color(QPalette::Window)), "Panel5");
    Panel5->setGeometry(R(448, 116, 155, 32));

    Label20 = caption("Label20", QStringLiteral("QD-TR25"), 646, 185);
    Modulzeit = Named(new TPanel(client_, TPanel::TBevel::bvRaised, palette().color(QPalette::Window)), "Modulzeit");
    Modulzeit->setGeometry(R(646, 116, 185, 33));
}

void TSDIAppForm::BuildIdentifierDateTime()
{
    auto label = [this](const char* name, const QString& text, QRect at, bool centred) {
        auto* l = Named(new QLabel(text, client_), name);
        l->setGeometry(at);
        if (centred) l->setAlignment(Qt::AlignCenter);
        return l;
    };

    Mess_Id = label("Mess_Id", StoredCaption("Mess_Id"), R(156, 220, 108, kLabelHeight), false);
    BuildEntryFields(exchange::TEntryField::efMessID, exchange::TEntryField::efss);

    Datum = label("Datum", StoredCaption("Datum"), R(384, 220, 60, kLabelHeight), false);
    Jahr = label("Jahr", StoredCaption("Jahr"), R(444, 185, 33, kLabelHeight), true);
    Mon = label("Mon", StoredCaption("Mon"), R(486, 185, 33, kLabelHeight), true);
    Tag = label("Tag", StoredCaption("Tag"), R(528, 185, 33, kLabelHeight), true);
    Label4 = label("Label4", QStringLiteral("-"), R(473, 220, 17, kLabelHeight), true);
    Label6 = label("Label6", QStringLiteral("-"), R(515, 220, 17, kLabelHeight), true);

    Uhrzeit = label("Uhrzeit", QStringLiteral("Uhrzeit"), R(600, 220, 62, kLabelHeight), false);
    Stnd = label("Stnd", StoredCaption("Stnd"), R(659, 185, 33, kLabelHeight), true);
    Min = label("Min", StoredCaption("Min"), R(701, 185, 33, kLabelHeight), true);
    Sek = label("Sek", StoredCaption("Sek"), R(743, 185, 33, kLabelHeight), true);
    Label11 = label("Label11", QStringLiteral("-"), R(688, 220, 17, kLabelHeight), true);
    Label12 = label("Label12", QStringLiteral("-"), R(730, 220, 17, kLabelHeight), true);

    const QColor window = palette().color(QPalette::Window);
    Panel1 = Named(new TPanel(client_, TPanel::TBevel::bvNone, window), "Panel1");
    Panel1->setGeometry(R(126, 179, 215, 72));
    Systemzeit = Named(new TButton(Panel1, StoredCaption("Systemzeit")), "Systemzeit");
    Systemzeit->setGeometry(R(6, 11, 205, 41));
    Panel2 = Named(new TPanel(client_, TPanel::TBevel::bvNone, window), "Panel2");
    Panel2->setGeometry(R(344, 173, 217, 81));
    Panel2->setEnabled(false);
    Panel3 = Named(new TPanel(client_, TPanel::TBevel::bvNone, window), "Panel3");
    Panel3->setGeometry(R(588, 179, 215, 72));
    for (TPanel* cover : {Panel1, Panel2, Panel3}) covers_.push_back(cover);
}

// Each with its name, initial text and maximum length from the exchange's
// field table; the rows between `first` and `last` in field order.
void TSDIAppForm::BuildEntryFields(exchange::TEntryField first, exchange::TEntryField last)
{
    for (const TEntryFieldWidget& row : EntryFieldWidgets()) {
        if (row.Field < first || row.Field > last) continue;
        const exchange::TFieldDef& def = exchange::FieldDef(row.Field);
        TEdit* edit = Named(new TEdit(client_, QString::fromLatin1(def.InitialText), def.MaxLength), def.Name);
        edit->setGeometry(R(row.X, row.Y, row.Width, kEditHeight));
        this->*row.Edit = edit;
    }
}

void TSDIAppForm::BuildConfiguration()
{
    Konfiguration = Named(new QLabel(StoredCaption("Konfiguration"), client_), "Konfiguration");
    Konfiguration->setGeometry(R(268, 274, 446, kLabelHeight));
    // The column heads are aligned by runs of blanks, measured for a narrower
    // face than ours: a condensed cut brings them over their edits and keeps
    // the line inside its cover.
    QFont heads = Konfiguration->font();
    heads.setStretch(80);
    Konfiguration->setFont(heads);

    BuildEntryFields(exchange::TEntryField::efDezimale, exchange::TEntryField::efSommer);

    L_CRC = Named(new QLabel(QStringLiteral("L_CRC"), client_), "L_CRC");
    L_CRC->setAlignment(Qt::AlignCenter);
    L_CRC->setGeometry(R(8, 296, 60, kLabelHeight));
    L_CRC->hide();

    Panel4 = Named(new TPanel(client_, TPanel::TBevel::bvNone, palette().color(QPalette::Window)), "Panel4");
    Panel4->setGeometry(R(192, 257, 522, 71));
    covers_.push_back(Panel4);
}

void TSDIAppForm::BuildTransmissionAndOutput()
{
    Uebertragen = Named(new TButton(client_, StoredCaption("Uebertragen")), "Uebertragen");
    Uebertragen->setGeometry(R(140, 344, 237, 57));
    Uebertragen->setEnabled(false);

    DriveComboBox1 = Named(new TDriveComboBox(client_), "DriveComboBox1");
    DriveComboBox1->setGeometry(R(416, 344, 298, kEditHeight));
    DirectoryListBox1 = Named(new TDirectoryListBox(client_), "DirectoryListBox1");
    DirectoryListBox1->setGeometry(R(416, 368, 298, 98));
    DriveComboBox1->SetDirList(DirectoryListBox1);
    DriveComboBox1->hide();
    DirectoryListBox1->hide();

    auto caption = [this](const char* name, const QString& text, int y) {
        auto* label = Named(new QLabel(text, client_), name);
        label->setAlignment(Qt::AlignCenter);
        label->setGeometry(R(20, y, 112, kLabelHeight));
        return label;
    };
    auto display = [this](auto* label, const char* name, QRect at) {
        Named(label, name);
        label->setTextFormat(Qt::PlainText);  // device bytes are shown, never interpreted
        label->setGeometry(at);
        SetBackground(label, kCream);
        return label;
    };
    Ausgabe = caption("Ausgabe", StoredCaption("Ausgabe"), 424);
    Ergebnis4 = display(new TFrameLabel(client_), "Ergebnis4", R(140, 424, 237, kLabelHeight));
    QFont small = Ergebnis4->font();
    small.setPixelSize(S(kFramePixels));
    Ergebnis4->setFont(small);
    Rueckgab = caption("Rueckgab", StoredCaption("Rueckgab"), 472);
    Rueckgabe = display(new QLabel(client_), "Rueckgabe", R(140, 472, 574, kLabelHeight));

    Pfad_Datei = Named(new QLabel(StoredCaption("Pfad_Datei"), client_), "Pfad_Datei");
    Pfad_Datei->setGeometry(R(30, 512, 104, kLabelHeight));
    Datei = Named(new TPathLabel(client_), "Datei");
    Datei->setGeometry(R(136, 512, 686, kLabelHeight));
    DirectoryListBox1->SetDirLabel(Datei);
}

void TSDIAppForm::BuildSoftwareIdentification()
{
    Button1 = Named(new TButton(client_, QStringLiteral("MD5 Checksum")), "Button1");
    Button1->setGeometry(R(784, 340, 222, 33));
    Software = Named(new QLabel(client_), "Software");
    Software->setAlignment(Qt::AlignCenter);
    Software->setGeometry(R(731, 382, 303, 26));
    SetBackground(Software, kWhite);
}

void TSDIAppForm::BuildReadoutDisplay()
{
    StaticText5 = Named(new QLabel(StoredCaption("StaticText5"), client_), "StaticText5");
    StaticText5->setGeometry(R(28, 576, 300, kLabelHeight));

    const int columns[] = {28, 224, 422, 620};
    const char* captions[] = {"StaticText1", "StaticText2", "StaticText3", "StaticText4"};
    const char* panels[] = {"ID_Zaehler", "Datum_Zeit", "ID_Mess", "Messwert"};
    QLabel* heads[4];
    TPanel* values[4];
    for (int i = 0; i < 4; ++i) {
        heads[i] = Named(new QLabel(StoredCaption(captions[i]), client_), captions[i]);
        heads[i]->setAlignment(Qt::AlignCenter);
        heads[i]->setGeometry(R(columns[i], 614, 177, kLabelHeight));
        values[i] = Named(new TPanel(client_, TPanel::TBevel::bvRaised, kYellow), panels[i]);
        values[i]->setGeometry(R(columns[i], 640, 177, 33));
    }
    StaticText1 = heads[0];
    StaticText2 = heads[1];
    StaticText3 = heads[2];
    StaticText4 = heads[3];
    ID_Zaehler = values[0];
    Datum_Zeit = values[1];
    ID_Mess = values[2];
    Messwert = values[3];

    StaticText6 = Named(new QLabel(QStringLiteral("m"), client_), "StaticText6");
    StaticText6->setGeometry(R(810, 648, 20, kLabelHeight));
}

void TSDIAppForm::BuildComponents()
{
    Timer1 = Named(new TTimer(this, 1000), "Timer1");
    requestTimer_ = new TTimer(this, static_cast<int>(exchange::TDeviceSession::kCheckEvery.count()));
    requestTimer_->setTimerType(Qt::PreciseTimer);
    pcClock_ = new TTimer(this, 1000);
}

void TSDIAppForm::LayOutBars()
{
    // The tool bar runs along the top of the client area whatever its width;
    // the status bar is kept along the bottom by the main window itself.
    ToolBar1->setGeometry(0, 0, client_->width(), S(kToolBarHeight));
    ToolBar1->lower();
}
