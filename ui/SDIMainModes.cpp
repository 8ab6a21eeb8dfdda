// The operator's side of the device exchange: the four mode handlers and the
// twelve entry fields. The rules live in exchange/ (ModeTable, FieldCommit,
// ClockFill); these handlers read the controls, apply a rule's result to
// them and raise its failure after the result is shown.

#include "ui/SDIMain.h"

#include "exchange/ClockFill.h"
#include "exchange/CommandFrames.h"
#include "exchange/ControlChars.h"
#include "exchange/FieldCommit.h"
#include "portlist/AnsiText.h"
#include "ui/Application.h"
#include "ui/CaptionTable.h"
#include "ui/DirectoryChooser.h"
#include "ui/DriveChooser.h"
#include "ui/Edit.h"
#include "ui/EntryFieldTable.h"
#include "ui/FrameLabel.h"
#include "ui/MouseButton.h"
#include "ui/Panel.h"
#include "ui/PathLabel.h"
#include "ui/PathText.h"
#include "ui/RadioButton.h"
#include "ui/StatusLine.h"
#include "ui/Timer.h"

#include <QDir>

#include <stdexcept>

using exchange::TEntryField;
using exchange::TOperatingMode;

// ---- what the window reads and shows of the draft ---------------------------

// The path texts the draft builds `Datei` from are UTF-8, on every system:
// they spell every folder's name, so `Datei` shows the name the file is
// written under (Windows' narrow code page would turn "Łódź" into "?ód?").
std::string TSDIAppForm::ChooserFolderText() const
{
    return QDir::toNativeSeparators(DirectoryListBox1->Directory()).toStdString();
}

std::filesystem::path TSDIAppForm::ChooserFolder() const
{
    const QString folder = DirectoryListBox1->Directory();
    return folder.isEmpty() ? std::filesystem::path() : PathOf(folder);
}

void TSDIAppForm::TakeReadoutFolder()
{
    session_.Draft().SetReadoutFolder(ChooserFolderText(), ChooserFolder());
}

void TSDIAppForm::ShowDraft()
{
    const exchange::TFrameDraft& draft = session_.Draft();
    Ergebnis4->setText(QStringFromAnsi(draft.Frame()));
    Datei->SetPath(QString::fromStdString(draft.Datei()));
    Uebertragen->setEnabled(draft.CanTransmit());
}

void TSDIAppForm::ShowFields(const std::vector<std::pair<TEntryField, std::string>>& fields)
{
    for (const auto& [field, text] : fields) FieldEdit(field)->setText(QStringFromAnsi(text));
}

exchange::TDateTimeParts TSDIAppForm::PartsOf(const QDateTime& when)
{
    const QDate date = when.date();
    const QTime time = when.time();
    return {date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second()};
}

TEdit* TSDIAppForm::FieldEdit(TEntryField field) const
{
    return this->*EntryFieldWidget(field).Edit;
}

TEntryField TSDIAppForm::FieldOf(const QObject* edit) const
{
    for (const TEntryFieldWidget& row : EntryFieldWidgets())
        if (this->*row.Edit == edit) return row.Field;
    throw std::logic_error("not an entry field");
}

// ---- modes ---------------------------------------------------------------------

void TSDIAppForm::Wert_lesenClick(QObject* /*Sender*/)
{
    ApplyMode(TOperatingMode::omWertLesen);
}

void TSDIAppForm::Datei_lesenClick(QObject* Sender)
{
    ApplyMode(TOperatingMode::omDateiLesen);
    // A folder chosen after a download, when no mode is chosen any more:
    // "Übertragen" waits for the next day's "Datei lesen", and says so.
    const bool modeChosen =
        Wert_lesen->Checked() || Datei_lesen->Checked() || Uhr_stellen->Checked() || Konfig->Checked();
    if (Sender == DirectoryListBox1 && !modeChosen) {
        ShowStatus(
            [](exchange::TTextLanguage language) {
                const QString mode = CaptionOf("Datei_lesen", CaptionLanguageOf(language));
                return QStringFromAnsi(exchange::SessionText(exchange::TSessionText::stNextDay, language,
                                                             {{"mode", AnsiFromQString(mode)}}));
            },
            nwNextDay);
    } else {
        news_->Clear(nwNextDay);
    }
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
    // A clock to be set is filled from the PC clock as it is now.
    ShowFields(session_.Draft().ChooseMode(mode, PartsOf(Now())));
    ShowDraft();
    if (m.Focus && m.FocusTiming == exchange::TFocusTiming::ftLastStep) FieldEdit(*m.Focus)->setFocus();
}

// ---- field entry --------------------------------------------------------------

void TSDIAppForm::EntryFieldKeyPress(QObject* Sender, char& Key)
{
    CommitEntry(FieldOf(Sender), Key);
}

void TSDIAppForm::CommitEntry(TEntryField field, char Key)
{
    if (!exchange::IsCommitKey(Key)) return;  // the field itself inserts the character
    TEdit* edit = FieldEdit(field);
    const exchange::TCommitResult r = session_.Draft().Commit(field, AnsiFromQString(edit->text()));
    const QString text = QStringFromAnsi(r.FieldText);
    if (edit->text() != text)  // a refused commit keeps the operator's cursor
        edit->setText(text);
    ShowDraft();
    FieldEdit(r.Focus)->setFocus();
    r.Failure.Raise();
}
