// The device's side of the exchange: choosing the port, the transmission
// behind "Übertragen", the clock poll and the reply handler. Frames and
// replies are Windows-1252 bytes throughout; the widgets get them decoded.

#include "ui/SDIMain.h"

#include "exchange/ClockFill.h"
#include "exchange/CommandFrames.h"
#include "exchange/ControlChars.h"
#include "exchange/PartialWrite.h"
#include "exchange/ReadoutFile.h"
#include "exchange/ReadoutPath.h"
#include "exchange/ReplyHandling.h"
#include "exchange/Transmission.h"
#include "ui/AnsiText.h"
#include "ui/Application.h"
#include "ui/CaptionTable.h"
#include "ui/ComboBox.h"
#include "ui/Edit.h"
#include "ui/FrameLabel.h"
#include "ui/MessageBox.h"
#include "ui/MouseButton.h"
#include "ui/Panel.h"
#include "ui/PathLabel.h"
#include "ui/PortDoctor.h"
#include "exchange/PortRecovery.h"
#include "ui/RadioButton.h"
#include "ui/StatusLine.h"
#include "ui/Timer.h"

#include <QStatusBar>

#include <cerrno>
#include <optional>

using exchange::TReplyMode;

// ---- port operations shared by the handlers ----------------------------------

void TSDIAppForm::PurgeBothQueues()
{
    CPort1->PurgeQueues(true, true);
    Exchange.Splitter.Clear();  // a line begun before the purge can never complete
    Exchange.Download.End();    // the next frame goes out: the day's records are over
}

void TSDIAppForm::WriteFrame(const std::string& frame)
{
    exchange::CheckFrameWritten(static_cast<std::size_t>(CPort1->WriteText(frame)), frame.size());
}

// ---- port selection -------------------------------------------------------------

void TSDIAppForm::SchnittstelleClick(QObject* /*Sender*/)
{
    Software->setText(MD5(ProgramFileName()));
    // Opening a port that is still open is a no-op, so a port whose device
    // went away is closed first: the device that answers now gets opened.
    CloseIfDeviceGone(*CPort1);
    try {
        CPort1->SetPortNum(AnsiFromQString(Schnittstelle->Text()));
        CPort1->Open();
    } catch (const EComPort& error) {  // shown as it is; the status bar adds the remedy
        portDoctor_->OpenFailed(CPort1->PortNum(), error.Code, error.WinCode, LanguageIndex);
        throw;
    }
    portDoctor_->PortChosen();
    PurgeBothQueues();
    WriteFrame(exchange::PlainClockQueryFrame());
    Exchange.ReplyMode = TReplyMode::rmDeviceClock;
    Panel6->hide();
    Timer1->SetEnabled(true);
    Datei_lesen->SetChecked(false);
    Wert_lesen->SetChecked(false);
    TApplication::ReportSuccess();
}

// ---- transmission ("Übertragen") -------------------------------------------------

void TSDIAppForm::LesenClick(QObject* /*Sender*/)
{
    Timer1->SetEnabled(false);
    // A mode that leaves the clock poll running ("Uhr stellen",
    // "Konfiguration") would otherwise have its answer read as a clock reply:
    // each tick sets the clock's reply mode. The frame of the mode still
    // chosen is answered as that mode says.
    if (const auto mode = CheckedMode()) Exchange.ReplyMode = exchange::ModeDef(*mode).ReplyMode;
    for (TRadioButton* mode : {Wert_lesen, Datei_lesen, Uhr_stellen, Konfig}) mode->SetChecked(false);

    std::optional<std::filesystem::path> dayFile;
    if (exchange::CreatesReadoutFile(Exchange.ReplyMode)) {
        dayFile = exchange::DayFilePath(Exchange.ReadoutFolder, Exchange.ReadoutPath, DateiText());
        const exchange::TTextLanguage language = TextLanguageOf(LanguageIndex);
        std::string why;
        int systemError = 0;
        if (Exchange.ReadoutFolder.empty())
            why = exchange::CreateFailureReason(ENOENT, language);
        else if (!dayFile || DateiText() == Exchange.ReadoutPath)  // no day built onto the folder
            why = exchange::SessionText(exchange::TSessionText::stNoDayChosen, language);
        else if (!exchange::CreateReadoutFile(*dayFile, &systemError))
            why = exchange::CreateFailureReason(systemError, language);
        if (!why.empty()) {
            ShowMessageText(FileFailureText(exchange::kCreateFailedText, why, Exchange.ReadoutFolder, language));
            return;
        }
    }

    CPort1->SetEventChar(static_cast<std::uint8_t>(exchange::LF));
    const exchange::TTransmission tx = exchange::AssembleTransmission(FrameText());
    L_CRC->setText(QStringFromAnsi(tx.ChecksumText));
    Exchange.TxFrame = tx.Frame;
    SetFrameText(tx.Frame);
    PurgeBothQueues();
    if (dayFile) {
        Exchange.Download.Begin(*dayFile);
        Exchange.Tally.Start(DateiText());
    }
    WriteFrame(tx.Frame);
    Uebertragen->setEnabled(false);
    TApplication::ReportSuccess();
}

// ---- clock poll ------------------------------------------------------------------

void TSDIAppForm::Timer1Timer(QObject* /*Sender*/)
{
    Rueckgabe->setText(QStringFromAnsi(exchange::ClockQueryText()));
    PurgeBothQueues();
    WriteFrame(exchange::ClockQueryFrame());
    Exchange.ReplyMode = TReplyMode::rmDeviceClock;
    Panel5->SetCaption(SystemTimeText(Now()));

    if (Systemzeit->hasFocus()) {
        ApplyFieldFill(exchange::TakeOverSystemTime(AnsiFromQString(Panel5->Caption()), FrameText()));
        Uebertragen->setEnabled(true);
    }
    TApplication::ReportSuccess();
}

// ---- reply handler ---------------------------------------------------------------

// Every complete line of one read is handled, in order; a failure of one line
// does not keep the later ones from being shown and stored, and the failures
// are shown once all are done.
void TSDIAppForm::CPort1RxFlag(TObject* /*Sender*/)
{
    if (CPort1->EventChar() != static_cast<std::uint8_t>(exchange::LF)) return;
    std::string received;
    CPort1->ReadText(received, CPort1->BytesWaiting());
    const std::vector<std::string> lines = Exchange.Splitter.Feed(received);
    if (lines.empty()) return;  // the rest of the line is still on its way

    TReadOutcome outcome;
    for (const std::string& line : lines) HandleReplyLine(line, outcome);

    if (outcome.Stored)
        ShowStatus(
            [this](exchange::TTextLanguage language) {
                return QStringFromAnsi(Exchange.Tally.StatusText(language)) + QStringLiteral(": ") +
                       QString::fromStdString(Exchange.Tally.CurrentFile());
            },
            nwReport);
    // The boxes follow the port's delivery, in the order the lines met their
    // failures: a box must not hold the event thread while the device sends.
    if (outcome.Failures.Any()) {
        outcome.Failures.HandOver();
        return;
    }
    TApplication::ReportSuccess();
}

void TSDIAppForm::HandleReplyLine(const std::string& line, TReadOutcome& outcome)
{
    Exchange.RxText = line;
    const exchange::TLineTreatment treatment = Exchange.Download.Treat(line, Exchange.ReplyMode);
    const exchange::TReplyView view = exchange::HandleReply(line, treatment.Mode);
    L_CRC->setText(QStringFromAnsi(view.L_CRC));
    Rueckgabe->setText(QStringFromAnsi(view.Rueckgabe));
    if (view.Panels) {
        ID_Zaehler->SetCaption(QStringFromAnsi(view.Panels->ID_Zaehler));
        Datum_Zeit->SetCaption(QStringFromAnsi(view.Panels->Datum_Zeit));
        ID_Mess->SetCaption(QStringFromAnsi(view.Panels->ID_Mess));
        Messwert->SetCaption(QStringFromAnsi(view.Panels->Messwert));
    }
    if (view.Modulzeit) Modulzeit->SetCaption(QStringFromAnsi(*view.Modulzeit));
    if (view.UhrStellenVisible) Uhr_stellen->setVisible(*view.UhrStellenVisible);
    if (view.Failure) {
        try {
            view.Failure.Raise();
        } catch (...) {
            outcome.Failures.Raised(std::current_exception());
        }
    }

    if (treatment.Store && view.ReadoutLine) {
        StoreRecord(*view.ReadoutLine, view.ChecksumOk, outcome);
    } else if (!view.ChecksumOk) {
        ShowStatus(
            [view](exchange::TTextLanguage language) {
                return QStringFromAnsi(exchange::ChecksumWarning(view, language));
            },
            nwReplyWarning);
    } else {
        news_->Clear(nwReplyWarning);  // the warning was about an earlier reply
    }
}

void TSDIAppForm::StoreRecord(const std::string& line, bool checksumOk, TReadOutcome& outcome)
{
    bool stored = false;
    try {
        stored = exchange::AppendReadoutLine(Exchange.Download.File(), line);
        if (!stored) outcome.Failures.Notice(exchange::kAppendFailedText);
    } catch (...) {  // writing or closing failed: the line is not (wholly) stored
        outcome.Failures.Raised(std::current_exception());
    }
    Exchange.Tally.Record(stored, checksumOk);
    outcome.Stored = true;
}

void TSDIAppForm::ShowStatus(std::function<QString(exchange::TTextLanguage)> text, TNews kind)
{
    news_->Show(std::move(text), TextLanguageOf(LanguageIndex), kind);
}
