// The window's side of the device exchange: it hands the operator's acts to
// the device session (exchange/DeviceSession.h) and shows what the session
// holds. Frames and replies are Windows-1252 bytes; the widgets get them
// decoded.

#include "ui/SDIMain.h"

#include "exchange/ReadoutFile.h"
#include "exchange/SessionTexts.h"
#include "serial/CPort.h"
#include "portlist/AnsiText.h"
#include "ui/Application.h"
#include "ui/CaptionTable.h"
#include "ui/ComboBox.h"
#include "ui/Edit.h"
#include "ui/MouseButton.h"
#include "ui/FrameLabel.h"
#include "ui/HandlerCall.h"
#include "ui/MessageBox.h"
#include "ui/Panel.h"
#include "ui/PortDoctor.h"
#include "ui/RadioButton.h"
#include "ui/StatusLine.h"
#include "ui/Timer.h"

#include <QStatusBar>

#include <cerrno>

// ---- port selection -------------------------------------------------------------

void TSDIAppForm::SchnittstelleClick(QObject* /*Sender*/)
{
    Software->setText(MD5(ProgramFileName()));
    try {
        session_.OpenPort(AnsiFromQString(Schnittstelle->Text()));
    } catch (const EComPort& error) {
        if (!session_.PortOpen()) {
            // No port is open: a poll would only fail on nothing until one is.
            Timer1->SetEnabled(false);
            portDoctor_->OpenFailed(session_.Port().PortNum(), error.Code, error.WinCode, LanguageIndex);
        }
        throw;  // shown as it is; the status bar adds the remedy
    }
    portDoctor_->PortChosen();
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
    for (TRadioButton* mode : {Wert_lesen, Datei_lesen, Uhr_stellen, Konfig}) mode->SetChecked(false);
    const exchange::TTransmitResult result = session_.Transmit();
    if (result == exchange::TTransmitResult::trNoDayFile) {
        ShowMessageText(DayFileFailureText());
        return;
    }
    ShowDraft();
    ShowSession();
    if (result == exchange::TTransmitResult::trSent) TApplication::ReportSuccess();
}

// ---- clock poll and PC clock ---------------------------------------------------

void TSDIAppForm::Timer1Timer(QObject* /*Sender*/)
{
    // Skipped while a request is answered: a purge would cut its lines.
    if (session_.Poll()) TApplication::ReportSuccess();
}

void TSDIAppForm::PcClockTick()
{
    const QDateTime now = Now();
    Panel5->SetCaption(SystemTimeText(now));
    if (!Systemzeit->hasFocus()) return;
    ShowFields(session_.Draft().TakeOverTime(PartsOf(now)));
    ShowDraft();
}

// ---- what the session holds ---------------------------------------------------

void TSDIAppForm::ShowSession()
{
    const exchange::TSessionView& v = session_.View();
    if (v.LineSerial != shown_.Line) {
        shown_.Line = v.LineSerial;
        L_CRC->setText(QStringFromAnsi(v.L_CRC));
        if (v.Rueckgabe != shown_.Rueckgabe) {  // a transmission changes only the checksum
            shown_.Rueckgabe = v.Rueckgabe;
            Rueckgabe->setText(QStringFromAnsi(v.Rueckgabe));
        }
        if (v.Panels) {
            ID_Zaehler->SetCaption(QStringFromAnsi(v.Panels->ID_Zaehler));
            Datum_Zeit->SetCaption(QStringFromAnsi(v.Panels->Datum_Zeit));
            ID_Mess->SetCaption(QStringFromAnsi(v.Panels->ID_Mess));
            Messwert->SetCaption(QStringFromAnsi(v.Panels->Messwert));
        }
    }
    if (v.ClockSerial != shown_.Clock) {
        shown_.Clock = v.ClockSerial;
        const std::string clock = v.ClockStale ? exchange::SessionText(exchange::TSessionText::stStaleClock,
                                                                       session_.Language(), {{"clock", v.Modulzeit}})
                                               : v.Modulzeit;
        Modulzeit->SetCaption(QStringFromAnsi(clock));
        if (v.UhrStellenOffered) Uhr_stellen->setVisible(*v.UhrStellenOffered);
    }
    if (v.StatusSerial != shown_.Status) {
        shown_.Status = v.StatusSerial;
        // The same words in the other language replace only themselves.
        const bool resaid = session_.Language() != shown_.Language;
        shown_.Language = session_.Language();
        const bool showing = !shown_.StatusText.isEmpty() && StatusBar->currentMessage() == shown_.StatusText;
        if (resaid && !showing) {
            shown_.StatusText.clear();
        } else if (!v.Status.empty()) {
            shown_.StatusText = QStringFromAnsi(v.Status);
            if (!v.StatusFile.empty()) shown_.StatusText += QStringLiteral(": ") + QString::fromStdString(v.StatusFile);
            StatusBar->showMessage(shown_.StatusText);
        } else if (!shown_.StatusText.isEmpty() && StatusBar->currentMessage() == shown_.StatusText) {
            StatusBar->clearMessage();  // the session's word is over; others' words stay
            shown_.StatusText.clear();
        }
    }
    // The boxes follow the delivery, in the order the lines met their
    // failures: a box must not hold the event thread while the device sends.
    for (const exchange::TSessionFailure& failure : session_.TakeFailures()) {
        if (failure.Error)
            HandOverEscapedError(failure.Error);
        else
            HandOverNotice(failure.Notice);
    }
    // The session's times are checked only while a request waits for them.
    requestTimer_->SetEnabled(session_.RequestOpen() || session_.RequestWaiting());
}

QString TSDIAppForm::DayFileFailureText() const
{
    const exchange::TTextLanguage language = TextLanguageOf(LanguageIndex);
    const exchange::TDayFileFailure& failure = session_.DayFileFailure();
    const int why = failure.Folder.empty() ? ENOENT : failure.SystemError;  // no folder: it has gone
    return FileFailureText(exchange::kCreateFailedText, exchange::CreateFailureReason(why, language), failure.Folder,
                           language);
}

void TSDIAppForm::ShowStatus(std::function<QString(exchange::TTextLanguage)> text, TNews kind)
{
    news_->Show(std::move(text), TextLanguageOf(LanguageIndex), kind);
}
