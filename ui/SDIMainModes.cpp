// The operator's side of the device exchange: the four mode handlers and the
// twelve entry fields. The rules live in exchange/ (ModeTable, FieldCommit,
// ClockFill); these handlers read the controls, apply a rule's result to
// them and raise its failure after the result is shown.

#include "ui/SDIMain.h"

#include "exchange/ClockFill.h"
#include "exchange/CommandFrames.h"
#include "exchange/ControlChars.h"
#include "exchange/FieldCommit.h"
#include "ui/AnsiText.h"
#include "ui/Application.h"
#include "ui/DirectoryChooser.h"
#include "ui/DriveChooser.h"
#include "ui/Edit.h"
#include "ui/FrameLabel.h"
#include "ui/MouseButton.h"
#include "ui/Panel.h"
#include "ui/PathLabel.h"
#include "ui/RadioButton.h"
#include "ui/Timer.h"

#include <QDir>
#include <QFile>

using exchange::TEntryField;
using exchange::TOperatingMode;

// ---- the window's texts as the exchange rules see them ----------------------

std::string TSDIAppForm::FrameText() const
{
    return AnsiFromQString(Ergebnis4->text());
}

void TSDIAppForm::SetFrameText(const std::string& frame)
{
    Ergebnis4->setText(QStringFromAnsi(frame));
}

// Paths are handed to the file system as they are, so they travel as its
// bytes, not as Windows-1252 text.
std::string TSDIAppForm::DateiText() const
{
    return QFile::encodeName(Datei->Path()).toStdString();
}

void TSDIAppForm::SetDateiText(const std::string& path)
{
    Datei->SetPath(QFile::decodeName(QByteArray::fromStdString(path)));
}

std::string TSDIAppForm::ChooserFolderText() const
{
    return QFile::encodeName(QDir::toNativeSeparators(DirectoryListBox1->Directory())).toStdString();
}

std::filesystem::path TSDIAppForm::ChooserFolder() const
{
    return std::filesystem::path(QDir::toNativeSeparators(DirectoryListBox1->Directory()).toStdU16String());
}

void TSDIAppForm::TakeReadoutFolder()
{
    Exchange.ReadoutPath = ChooserFolderText();
    Exchange.ReadoutFolder = ChooserFolder();
}

std::optional<TOperatingMode> TSDIAppForm::CheckedMode() const
{
    if (Wert_lesen->Checked()) return TOperatingMode::omWertLesen;
    if (Datei_lesen->Checked()) return TOperatingMode::omDateiLesen;
    if (Uhr_stellen->Checked()) return TOperatingMode::omUhrStellen;
    if (Konfig->Checked()) return TOperatingMode::omKonfig;
    return std::nullopt;
}

TEdit* TSDIAppForm::FieldEdit(TEntryField field) const
{
    switch (field) {
    case TEntryField::efMessID: return MessID;
    case TEntryField::efJJ: return JJ;
    case TEntryField::efMM: return MM;
    case TEntryField::efTT: return TT;
    case TEntryField::efhh: return hh;
    case TEntryField::efm_m: return m_m;
    case TEntryField::efss: return ss;
    case TEntryField::efDezimale: return Dezimale;
    case TEntryField::efSpeicher_ID: return Speicher_ID;
    case TEntryField::efZaehler_ID: return Zaehler_ID;
    case TEntryField::efWinter: return Winter;
    case TEntryField::efSommer: return Sommer;
    }
    return MessID;
}

// ---- modes ---------------------------------------------------------------------

void TSDIAppForm::Wert_lesenClick(QObject* /*Sender*/)
{
    ApplyMode(TOperatingMode::omWertLesen);
}

void TSDIAppForm::Datei_lesenClick(QObject* /*Sender*/)
{
    ApplyMode(TOperatingMode::omDateiLesen);
}

void TSDIAppForm::Uhr_stellenClick(QObject* /*Sender*/)
{
    ApplyMode(TOperatingMode::omUhrStellen);
}

void TSDIAppForm::StartupClick(QObject* /*Sender*/)
{
    ApplyMode(TOperatingMode::omKonfig);
}

// Walks the mode's row in the handler's own order of steps.
void TSDIAppForm::ApplyMode(TOperatingMode mode)
{
    const exchange::TModeDef& m = exchange::ModeDef(mode);
    auto switchPoll = [&] {
        if (m.Poll != exchange::TPollChange::pcUnchanged) Timer1->SetEnabled(m.Poll == exchange::TPollChange::pcStart);
    };

    if (m.PollStep == 1) switchPoll();
    Systemzeit->setVisible(m.SystemzeitVisible);
    if (m.PollStep == 2) switchPoll();
    if (m.ResetsReadoutPath) TakeReadoutFolder();

    TPanel* const covers[exchange::kCoverCount] = {Panel1, Panel2, Panel3, Panel4};
    for (std::size_t i = 0; i < exchange::kCoverCount; ++i) covers[i]->setVisible(m.CoverVisible[i]);
    for (QWidget* chooser : {static_cast<QWidget*>(DriveComboBox1), static_cast<QWidget*>(DirectoryListBox1),
                             static_cast<QWidget*>(Datei)})
        chooser->setVisible(m.FileChoosersVisible);

    if (m.Focus && m.FocusTiming == exchange::TFocusTiming::ftBeforeTemplate) FieldEdit(*m.Focus)->setFocus();
    SetFrameText(exchange::CommandTemplate(m.Command));
    Exchange.ReplyMode = m.ReplyMode;

    if (m.FillsClock) {
        const exchange::TClockFill fill =
            exchange::FillClockFromPanel5(AnsiFromQString(Panel5->Caption()), FrameText());
        const std::pair<TEdit*, const std::string*> fields[] = {{TT, &fill.TT}, {MM, &fill.MM},   {JJ, &fill.JJ},
                                                                {hh, &fill.hh}, {m_m, &fill.m_m}, {ss, &fill.ss}};
        for (const auto& [edit, text] : fields) edit->setText(QStringFromAnsi(*text));
        SetFrameText(fill.Frame);
    }
    if (m.Focus && m.FocusTiming == exchange::TFocusTiming::ftLastStep) FieldEdit(*m.Focus)->setFocus();
    TApplication::ReportSuccess();
}

// ---- field entry --------------------------------------------------------------

void TSDIAppForm::MessIDKeyPress(QObject*, char& Key)
{
    CommitEntry(TEntryField::efMessID, Key);
}
void TSDIAppForm::JJKeyPress(QObject*, char& Key)
{
    CommitEntry(TEntryField::efJJ, Key);
}
void TSDIAppForm::MMKeyPress(QObject*, char& Key)
{
    CommitEntry(TEntryField::efMM, Key);
}
void TSDIAppForm::TTKeyPress(QObject*, char& Key)
{
    CommitEntry(TEntryField::efTT, Key);
}
void TSDIAppForm::hhKeyPress(QObject*, char& Key)
{
    CommitEntry(TEntryField::efhh, Key);
}
void TSDIAppForm::m_mKeyPress(QObject*, char& Key)
{
    CommitEntry(TEntryField::efm_m, Key);
}
void TSDIAppForm::ssKeyPress(QObject*, char& Key)
{
    CommitEntry(TEntryField::efss, Key);
}
void TSDIAppForm::DezimaleKeyPress(QObject*, char& Key)
{
    CommitEntry(TEntryField::efDezimale, Key);
}
void TSDIAppForm::Speicher_IDKeyPress(QObject*, char& Key)
{
    CommitEntry(TEntryField::efSpeicher_ID, Key);
}
void TSDIAppForm::Zaehler_IDKeyPress(QObject*, char& Key)
{
    CommitEntry(TEntryField::efZaehler_ID, Key);
}
void TSDIAppForm::WinterKeyPress(QObject*, char& Key)
{
    CommitEntry(TEntryField::efWinter, Key);
}
void TSDIAppForm::SommerKeyPress(QObject*, char& Key)
{
    CommitEntry(TEntryField::efSommer, Key);
}

void TSDIAppForm::CommitEntry(TEntryField field, char Key)
{
    if (!exchange::IsCommitKey(Key)) return;  // the field itself inserts the character
    TEdit* edit = FieldEdit(field);
    const exchange::TCommitResult r = exchange::CommitField(
        field, {AnsiFromQString(edit->text()), FrameText(), DateiText(), Exchange.ReadoutPath, CheckedMode()});

    const QString text = QStringFromAnsi(r.FieldText);
    if (edit->text() != text)  // a refused commit keeps the operator's cursor
        edit->setText(text);
    SetFrameText(r.Frame);
    SetDateiText(r.Datei);
    FieldEdit(r.Focus)->setFocus();
    if (r.EnableTransmit) Uebertragen->setEnabled(true);
    r.Failure.Raise();
    TApplication::ReportSuccess();
}
