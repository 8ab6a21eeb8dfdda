#include "exchange/DeviceSession.h"

#include "exchange/CommandFrames.h"
#include "exchange/ControlChars.h"
#include "exchange/LineShape.h"
#include "exchange/PartialWrite.h"
#include "exchange/PortRecovery.h"
#include "exchange/ReadoutFile.h"
#include "exchange/TextRules.h"
#include "exchange/Transmission.h"
#include "serial/CPort.h"
#include "serial/CPort1Settings.h"

namespace exchange {

namespace {

// A path as the status bar names it: UTF-8 on every system (the narrow
// string() takes Windows' code page, which cannot spell every folder).
std::string Utf8(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// The port's input queue (CPort1Settings.h): one read takes all it holds.
constexpr std::int32_t kReadChunk = 1024;

std::string TwoDigits(int value)
{
    return ZeroPadded(value, 2);
}

std::string DayText(int yy, int mm, int dd)
{
    return TwoDigits(dd) + "." + TwoDigits(mm) + "." + TwoDigits(yy);
}

// The line's text before its checksum and CR.
std::string BodyOf(const std::string& line)
{
    const int cr = PosOf(CR, line);
    return CopyChars(line, 1, (cr > 0 ? cr : static_cast<int>(line.size()) + 1) - 1 - 4);
}

}  // namespace

struct TDeviceSession::TOutgoing {
    TRequestKind Kind;
    std::string Frame;
    std::string Day;
    std::filesystem::path DayFile;
    std::string TallyName;              // the day file as the status bar names it
    bool ReplaceOnFirstRecord = false;  // else the day's file is emptied as the request goes out
};

TDeviceSession::TDeviceSession(TSteadyClock clock) : clock_(std::move(clock)), port_(std::make_unique<TComPort>())
{
    LoadCPort1Settings(*port_);
    port_->SetOnRxFlag([this](TObject*) { Deliver(); });
}

TDeviceSession::~TDeviceSession()
{
    port_->SetOnRxFlag(nullptr);
}

std::chrono::steady_clock::time_point TDeviceSession::Now() const
{
    return clock_ ? clock_() : std::chrono::steady_clock::now();
}

bool TDeviceSession::PortOpen() const
{
    return port_->Connected();
}

// ---- requests -------------------------------------------------------------------

void TDeviceSession::OpenPort(const std::string& comName)
{
    waiting_.reset();  // asked for on the port left behind
    // Opening a port that is still open is a no-op, so a port whose device
    // went away is closed first: the device that answers now gets opened.
    CloseIfDeviceGone(*port_);
    // Closing the port left behind still serves the lines it has received.
    port_->SetPortNum(comName);
    if (RequestOpen()) {
        if (request_.Kind == TRequestKind::rkReadDay) SetStatus(DayCountSay(TSessionText::stDayCut, request_));
        End(TRequestState::rsCutByPortChange);
    }
    port_->Open();
    SendNow({TRequestKind::rkClockQuery, PlainClockQueryFrame(), {}, {}, {}});
}

bool TDeviceSession::Poll()
{
    if (!PortOpen() || RequestOpen()) return false;
    SendNow({TRequestKind::rkClockQuery, ClockQueryFrame(), {}, {}, {}});
    view_.Rueckgabe = ClockQueryText();  // until the device's answer replaces it
    ++view_.LineSerial;
    Changed();
    return true;
}

TTransmitResult TDeviceSession::QueryClock()
{
    return Ask({TRequestKind::rkClockQuery, ClockQueryFrame(), {}, {}, {}});
}

TTransmitResult TDeviceSession::SetClock(const TDateTimeParts& when)
{
    const std::string payload = "81" + TwoDigits(when.Year % 100) + " " + TwoDigits(when.Month) + " " +
                                TwoDigits(when.Day) + " " + TwoDigits(when.Hour) + " " + TwoDigits(when.Minute) + " " +
                                TwoDigits(when.Second);
    return Ask({TRequestKind::rkSetClock, AssembleTransmission(STX + payload + ETX).Frame, {}, {}, {}});
}

TTransmitResult TDeviceSession::ReadValue(int yy, int mm, int dd, int number)
{
    const std::string payload =
        "60" + TwoDigits(yy) + "_" + TwoDigits(mm) + "_" + TwoDigits(dd) + ZeroPadded(number, 4);
    return Ask({TRequestKind::rkReadValue, AssembleTransmission(STX + payload + ETX).Frame, {}, {}, {}});
}

TTransmitResult TDeviceSession::ReadDay(int yy, int mm, int dd, const std::filesystem::path& folder,
                                        TDayFileReplace replace)
{
    const std::string name = TwoDigits(yy) + "_" + TwoDigits(mm) + "_" + TwoDigits(dd);
    const std::filesystem::path file = folder / (name + ".txt");
    if (!CanWriteDayFile(file)) return TTransmitResult::trNoDayFile;
    const std::string payload = "70" + name;
    return Ask({TRequestKind::rkReadDay, AssembleTransmission(STX + payload + ETX).Frame, DayText(yy, mm, dd), file,
                Utf8(file), replace == TDayFileReplace::dfOnFirstRecord});
}

bool TDeviceSession::CanWriteDayFile(const std::filesystem::path& file)
{
    dayFileFailure_ = {0, file.parent_path()};
    return CanWriteReadoutFile(file, &dayFileFailure_.SystemError);
}

TTransmitResult TDeviceSession::Transmit()
{
    draft_.ReleaseMode();
    if (!draft_.CanTransmit()) return TTransmitResult::trNotComplete;
    const TRequestKind kind = RequestKindOf(*draft_.Mode());
    TOutgoing outgoing{kind, {}, {}, {}, {}};
    if (kind == TRequestKind::rkReadDay) {
        const auto file = draft_.DayFile();
        if (!file) {
            dayFileFailure_ = {};
            return TTransmitResult::trNoDayFile;
        }
        if (!CanWriteDayFile(*file)) return TTransmitResult::trNoDayFile;
        outgoing.Day = draft_.DayText();
        outgoing.DayFile = *file;
        outgoing.TallyName = draft_.Datei();
    }
    const TTransmission tx = AssembleTransmission(draft_.Frame());
    outgoing.Frame = tx.Frame;
    view_.L_CRC = tx.ChecksumText;
    ++view_.LineSerial;
    draft_.Sent(tx.Frame);
    return Ask(std::move(outgoing));
}

TTransmitResult TDeviceSession::Ask(TOutgoing outgoing)
{
    if (RequestOpen()) {
        if (request_.Kind == TRequestKind::rkReadDay) SetStatus(Say(TSessionText::stDayWaits, {{"day", request_.Day}}));
        waiting_ = std::make_unique<TOutgoing>(std::move(outgoing));
        Changed();
        return TTransmitResult::trWaiting;
    }
    SendNow(outgoing);
    return TTransmitResult::trSent;
}

void TDeviceSession::SendNow(const TOutgoing& outgoing)
{
    port_->PurgeQueues(true, true);
    splitter_.Clear();  // a line begun before the purge can never complete
    longLineSaid_ = false;
    const auto written = port_->WriteText(outgoing.Frame);
    CheckFrameWritten(static_cast<std::size_t>(written), outgoing.Frame.size());

    request_ = TRequest{};
    request_.Kind = outgoing.Kind;
    request_.State = TRequestState::rsSent;
    request_.Port = port_->PortNum();
    request_.Frame = outgoing.Frame;
    request_.Day = outgoing.Day;
    request_.DayFile = outgoing.DayFile;
    request_.SentAt = request_.LastByteAt = Now();
    if (outgoing.Kind != TRequestKind::rkClockQuery) SetStatus(nullptr);  // the last request's words are old now
    if (outgoing.Kind == TRequestKind::rkReadDay) {
        request_.Tally.Start(outgoing.TallyName);
        // The request is out: only now may a file holding that day be emptied.
        dayFileDue_ = outgoing.ReplaceOnFirstRecord;
        if (!dayFileDue_ && !CreateReadoutFile(outgoing.DayFile)) Notice(kCreateFailedText);
    }
    Changed();
}

void TDeviceSession::SendWaiting()
{
    if (!waiting_ || RequestOpen()) return;
    const std::unique_ptr<TOutgoing> next = std::move(waiting_);
    try {
        SendNow(*next);
    } catch (...) {
        Failed(std::current_exception());
    }
}

void TDeviceSession::End(TRequestState state)
{
    request_.State = state;
    Changed();
}

void TDeviceSession::CheckTime()
{
    deliveryRaised_ = false;
    if (RequestOpen()) {
        const auto now = Now();
        if (PortOpen() && port_->DeviceLost()) {
            if (request_.Kind == TRequestKind::rkReadDay)
                SetStatus(DayCountSay(TSessionText::stLossInDay, request_));
            else
                SetStatus(Say(TSessionText::stLoss, {{"port", request_.Port}}));
            waiting_.reset();
            End(TRequestState::rsCutByLoss);
        } else if (request_.Kind == TRequestKind::rkReadDay && request_.State == TRequestState::rsBeingAnswered &&
                   now - request_.LastByteAt >= kDayQuietTime) {
            End(TRequestState::rsAnswered);
        } else if (now - request_.LastByteAt >= kAnswerTime) {
            SetStatus(Say(TSessionText::stNoAnswer, {{"port", request_.Port}}), true);
            view_.ClockStale = true;
            ++view_.ClockSerial;
            End(TRequestState::rsNoAnswer);
        }
    }
    SendWaiting();
}

std::vector<TSessionFailure> TDeviceSession::TakeFailures()
{
    return std::exchange(failures_, {});
}

// ---- lines -------------------------------------------------------------------------

void TDeviceSession::Deliver()
{
    deliveryRaised_ = false;
    try {
        // Reads return at once with what has arrived, so no count is asked
        // for first; a driver may queue more than one read's worth.
        std::string received, chunk;
        do {
            port_->ReadText(chunk, kReadChunk);
            received += chunk;
        } while (chunk.size() == static_cast<std::size_t>(kReadChunk));
        if (received.empty()) return;
        if (RequestOpen()) {
            request_.LastByteAt = Now();
            if (request_.Kind != TRequestKind::rkReadDay) request_.State = TRequestState::rsBeingAnswered;
        }
        const std::size_t droppedBefore = splitter_.DroppedBytes();
        const std::vector<std::string> lines = splitter_.Feed(received);
        if (splitter_.DroppedBytes() > droppedBefore && !longLineSaid_) {
            longLineSaid_ = true;  // once for the line, not for every read of it
            SetStatus(Say(TSessionText::stLineTooLong), true);
        }
        for (const std::string& line : lines) {
            longLineSaid_ = false;
            HandleLine(line);
        }
        if (request_.Kind == TRequestKind::rkReadDay && IsOpen(request_.State) &&
            request_.Tally.StoredLines() + request_.Tally.LostLines() > 0 && !lines.empty())
            SetStatus([tally = request_.Tally](TTextLanguage l) { return tally.StatusText(l); }, false,
                      request_.Tally.CurrentFile());
    } catch (...) {
        Failed(std::current_exception());
    }
    Changed();
    SendWaiting();
}

void TDeviceSession::HandleLine(const std::string& line)
{
    const bool open = RequestOpen();
    // Records after a pause longer than the quiet time still belong to the
    // day, as long as nothing else was asked since.
    const bool dayGoesOn = request_.Kind == TRequestKind::rkReadDay && request_.State == TRequestState::rsAnswered;
    const TRequestKind kind = open || dayGoesOn ? request_.Kind : TRequestKind::rkNone;

    // A clock line is the device's clock whatever was asked: a late answer
    // to a poll is never a record nor a value. What answers a clock query is
    // taken for the clock unless it is a record (of a day cut short).
    const bool clockAnswer = kind == TRequestKind::rkClockQuery && !IsRefusal(line) && !IsRecordLine(line);
    if (IsClockLine(line) || clockAnswer) {
        TReplyView view = HandleReply(line, TReplyMode::rmDeviceClock);
        Show(view);
        view_.Modulzeit = *view.Modulzeit;
        view_.ClockStale = false;
        view_.UhrStellenOffered = view.UhrStellenVisible;
        ++view_.ClockSerial;
        if (kind == TRequestKind::rkClockQuery) {
            request_.Answer = view.Rueckgabe;
            End(TRequestState::rsAnswered);
        }
        if (view.Failure) {
            try {
                view.Failure.Raise();
            } catch (...) {
                Failed(std::current_exception());
            }
        }
        return;
    }
    if (IsRefusal(line)) {
        const std::string refusal = BodyOf(line);
        TReplyView view = HandleReply(line, TReplyMode::rmStoredRecord);
        const TSay said = Say(TSessionText::stRefused, {{"answer", refusal}});
        view.Rueckgabe = said(language_);
        Show(view);
        rueckgabeSay_ = said;
        SetStatus(said);
        if (open) {
            request_.Refusal = refusal;
            End(TRequestState::rsRefused);
        }
        return;
    }
    switch (kind) {
    case TRequestKind::rkReadDay: HandleRecord(line); return;
    case TRequestKind::rkReadValue: {
        const TReplyView view = HandleReply(line, TReplyMode::rmReading);
        Show(view);
        view_.Panels = view.Panels;
        ++view_.LineSerial;
        request_.Answer = view.Rueckgabe;
        End(TRequestState::rsAnswered);
        return;
    }
    case TRequestKind::rkSetClock:
    case TRequestKind::rkConfigure:
        Show(HandleReply(line, TReplyMode::rmStoredRecord));
        request_.Answer = BodyOf(line);
        End(TRequestState::rsAnswered);
        return;
    default:
        // Nobody asked: shown, never stored nor taken for a value.
        Show(HandleReply(line, TReplyMode::rmStoredRecord));
        return;
    }
}

void TDeviceSession::HandleRecord(const std::string& line)
{
    const TReplyView view = HandleReply(line, TReplyMode::rmStoredRecord);
    Show(view);
    request_.State = TRequestState::rsBeingAnswered;
    if (std::exchange(dayFileDue_, false) && !CreateReadoutFile(request_.DayFile)) Notice(kCreateFailedText);
    bool stored = false;
    try {
        stored = AppendReadoutLine(request_.DayFile, *view.ReadoutLine);
        if (!stored) Notice(kAppendFailedText);
    } catch (...) {  // writing or closing failed: the line is not (wholly) stored
        Failed(std::current_exception());
    }
    request_.Tally.Record(stored, view.ChecksumOk);
}

void TDeviceSession::Show(const TReplyView& view)
{
    view_.Rueckgabe = view.Rueckgabe;
    rueckgabeSay_ = nullptr;
    view_.L_CRC = view.L_CRC;
    ++view_.LineSerial;
    if (!view.ChecksumOk) {
        if (!view.ReadoutLine || request_.Kind != TRequestKind::rkReadDay)
            SetStatus([view](TTextLanguage l) { return ChecksumWarning(view, l); }, true);
    } else if (statusClearedByGoodLine_) {
        SetStatus(nullptr);  // the warning was about an earlier line
    }
}

void TDeviceSession::SetStatus(TSay say, bool clearedByGoodLine, std::string file)
{
    statusSay_ = std::move(say);
    view_.Status = statusSay_ ? statusSay_(language_) : std::string();
    view_.StatusFile = std::move(file);
    statusClearedByGoodLine_ = clearedByGoodLine;
    ++view_.StatusSerial;
}

TDeviceSession::TSay TDeviceSession::Say(TSessionText text, TTextValues values)
{
    return [text, values = std::move(values)](TTextLanguage language) { return SessionText(text, language, values); };
}

TDeviceSession::TSay TDeviceSession::DayCountSay(TSessionText text, const TRequest& day)
{
    return [text, port = day.Port, dayName = day.Day, lines = day.Tally.StoredLines()](TTextLanguage language) {
        return SessionText(text, language, {{"port", port}, {"lines", LinesText(lines, language)}, {"day", dayName}});
    };
}

void TDeviceSession::SetLanguage(TTextLanguage language)
{
    if (language == language_) return;
    language_ = language;
    const bool said = statusSay_ || rueckgabeSay_ || view_.ClockStale;
    if (statusSay_) {
        view_.Status = statusSay_(language_);
        ++view_.StatusSerial;
    }
    if (rueckgabeSay_) {
        view_.Rueckgabe = rueckgabeSay_(language_);
        ++view_.LineSerial;
    }
    if (view_.ClockStale) ++view_.ClockSerial;  // shown with the language's word for stale
    if (said) Changed();
}

void TDeviceSession::Failed(std::exception_ptr error)
{
    // As one handler run: the first exception of a delivery counts.
    if (deliveryRaised_) return;
    deliveryRaised_ = true;
    failures_.push_back({std::move(error), {}});
}

void TDeviceSession::Notice(const std::string& text)
{
    for (const TSessionFailure& f : failures_)
        if (!f.Error && f.Notice == text) return;
    failures_.push_back({nullptr, text});
}

void TDeviceSession::Changed()
{
    if (listener_) listener_();
}

}  // namespace exchange
