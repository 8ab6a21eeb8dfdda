#include "cli/DeviceCommands.h"

#include "cli/CliTexts.h"
#include "cli/ExitCodes.h"
#include "cli/Json.h"
#include "cli/Progress.h"
#include "cli/Utf8.h"
#include "exchange/DeviceSession.h"
#include "exchange/InOutError.h"
#include "exchange/ReadoutFile.h"
#include "platform/Console.h"
#include "platform/MainThread.h"
#include "portlist/PortAdvice.h"
#include "serial/EComPort.h"
#include "serial/PortFailure.h"

#include <chrono>
#include <ctime>
#include <ostream>
#include <system_error>

namespace cli {

namespace {

using exchange::TDeviceSession;
using exchange::TRequestState;
using exchange::TTransmitResult;

exchange::TDateTimeParts PcNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     std::min(local.tm_sec, 59)};
}

std::string ClockText(const exchange::TDateTimeParts& when)
{
    return exchange::FormatPanel5(when, ':');
}

// "26_12_07.txt": the day file's name, as the window builds it.
std::string DayFileName(TDay day)
{
    char name[16];
    std::snprintf(name, sizeof name, "%02d_%02d_%02d.txt", day.Year % 100, day.Month, day.Day);
    return name;
}

long long Seconds(std::chrono::milliseconds time)
{
    return std::chrono::duration_cast<std::chrono::seconds>(time).count();
}

// Why nothing can be written in `folder`, as the system says it.
std::string FolderReason(const std::filesystem::path& folder)
{
    std::error_code error;
    const auto status = std::filesystem::status(folder, error);
    if (error) return error.message();
    if (!std::filesystem::is_directory(status)) return std::make_error_code(std::errc::not_a_directory).message();
    return std::make_error_code(std::errc::permission_denied).message();
}

struct TDayResult {
    TDay Day;
    std::filesystem::path File;
    int Stored = 0;
    int BadChecksum = 0;
    int NotStored = 0;
    bool Complete = false;
};

class TRun {
public:
    TRun(const TCliRequest& request, int language, std::ostream& out, std::ostream& err)
        : request_(request), language_(language), out_(out), err_(err)
    {
        session_.SetLanguage(language == kLanguageGerman ? exchange::TTextLanguage::tlGerman
                                                         : exchange::TTextLanguage::tlEnglish);
        session_.SetListener([this] { changedAt_ = PcNow(); });
    }

    int Execute()
    {
        if (const int code = Open(); code != kExitOk) return code;
        switch (request_.Command) {
        case TCliCommand::ccClock: return Clock();
        case TCliCommand::ccSetClock: return SetClock();
        case TCliCommand::ccRead: return Read();
        case TCliCommand::ccDownload: return Download();
        default: return kExitUsage;
        }
    }

private:
    std::string Say(TCliText text, const std::vector<std::string>& args = {}) const
    {
        return Text(text, language_, args);
    }

    int Fail(int code, const std::string& message)
    {
        if (progress_) progress_->Break();
        err_ << "tornvale-cli: " << message << '\n';
        error_ = message;
        return code;
    }

    // The port doctor's advice after a port failure, on its own line.
    std::string WithAdvice(const std::string& message, const std::optional<TPortAdvice>& advice) const
    {
        return advice ? message + "\n" + Utf8(AdviceText(*advice, language_)) : message;
    }

    int Open()
    {
        try {
            session_.OpenPort(request_.Port);
        } catch (const EComPort& error) {
            const auto advice = error.Code == ComErrorCode::OpenFailed
                                    ? ExaminePortFailure(request_.Port, error.Code, error.WinCode)
                                    : std::nullopt;
            return Fail(
                kExitPort,
                WithAdvice(Say(TCliText::ctPortNotOpened, {request_.Port, Utf8FromAnsi(error.what())}), advice));
        }
        // The clock query that opening sends tells a silent device at once.
        return Await();
    }

    // Serves the port's deliveries until the requests asked for have ended;
    // then reads what came of the last one.
    int Await(const std::function<void()>& progress = {})
    {
        while (session_.RequestOpen() || session_.RequestWaiting()) {
            if (platform::Interrupted()) return kExitInterrupted;
            try {
                platform::MainQueue::RunUntil([] { return platform::Interrupted(); }, TDeviceSession::kCheckEvery);
            } catch (const EComPort& error) {  // the event thread's failure, raised on this thread
                if (ClassifyPortFailure(error) == TPortFailure::pfDeviceGone) return Lost(Utf8FromAnsi(error.what()));
                return Fail(kExitPort, Say(TCliText::ctPortGone, {request_.Port, Utf8FromAnsi(error.what())}));
            }
            session_.CheckTime();
            if (progress) progress();
            if (const int code = CheckFailures(); code != kExitOk) return code;
        }
        return Outcome();
    }

    int CheckFailures()
    {
        for (const exchange::TSessionFailure& failure : session_.TakeFailures()) {
            if (!failure.Error) {  // the day file could not be opened
                return Fail(kExitFile, Say(TCliText::ctFileNotWritten, {FolderText(), FolderReason(request_.Folder)}));
            }
            try {
                std::rethrow_exception(failure.Error);
            } catch (const exchange::EInOutError& error) {
                return Fail(kExitFile, Say(TCliText::ctFileNotWritten, {FolderText(), Utf8FromAnsi(error.what())}));
            } catch (const EComPort& error) {
                if (ClassifyPortFailure(error) == TPortFailure::pfDeviceGone) return Lost(Utf8FromAnsi(error.what()));
                return Fail(kExitPort, Say(TCliText::ctPortNotOpened, {request_.Port, Utf8FromAnsi(error.what())}));
            } catch (const std::exception& error) {
                // A reply the window would show in a box (a clock that is no
                // number): said, and the request's own end decides.
                err_ << "tornvale-cli: " << Utf8FromAnsi(error.what()) << '\n';
            }
        }
        return kExitOk;
    }

    int Lost(const std::string& reason)
    {
        return Fail(kExitPort,
                    WithAdvice(Say(TCliText::ctPortGone, {request_.Port, reason}), AdviceBeforeOpening(request_.Port)));
    }

    int Outcome()
    {
        const exchange::TRequest& request = session_.Request();
        switch (request.State) {
        case TRequestState::rsAnswered: return kExitOk;
        case TRequestState::rsRefused:
            return Fail(kExitDevice, Say(TCliText::ctRefused, {Utf8FromAnsi(request.Refusal)}));
        case TRequestState::rsNoAnswer:
            return Fail(kExitDevice,
                        Say(TCliText::ctNoAnswer, {request_.Port, std::to_string(Seconds(exchange::kAnswerTime))}));
        case TRequestState::rsCutByLoss: return Lost(Utf8FromAnsi(session_.View().Status));
        default: return Fail(kExitPort, Say(TCliText::ctPortGone, {request_.Port, {}}));
        }
    }

    std::string FolderText() const { return PathText(request_.Folder); }

    int Clock()
    {
        const std::string device = Utf8FromAnsi(session_.Request().Answer);
        const std::string pc = ClockText(changedAt_);
        if (request_.Json) {
            TJson json;
            json.Begin();
            json.Field("port", request_.Port);
            json.Field("device_clock", device);
            json.Field("pc_clock", pc);
            json.End();
            out_ << json.Text() << '\n';
        } else {
            out_ << Say(TCliText::ctDeviceClock) << ": " << device << '\n'
                 << Say(TCliText::ctPcClock) << ": " << pc << '\n';
        }
        return kExitOk;
    }

    int SetClock()
    {
        exchange::TDateTimeParts when = PcNow();  // at the moment of sending
        if (request_.Time) {
            const TClockTime& t = *request_.Time;
            when = {2000 + t.Year, t.Month, t.Day, t.Hour, t.Minute, t.Second};
        }
        session_.SetClock(when);
        if (const int code = Await(); code != kExitOk) return code;
        out_ << Say(TCliText::ctClockSet, {ClockText(when), Utf8FromAnsi(session_.Request().Answer)}) << '\n';
        return kExitOk;
    }

    int Read()
    {
        const TDay& day = request_.Date;
        session_.ReadValue(day.Year % 100, day.Month, day.Day, request_.Id);
        if (const int code = Await(); code != kExitOk) return code;
        const auto& panels = session_.View().Panels;
        const exchange::TReadingPanels fields = panels ? *panels : exchange::TReadingPanels{};
        const std::string& answer = session_.Request().Answer;
        const std::string line = Utf8FromAnsi(answer);
        // The answer ends in its own checksum; the session computed the body's.
        const std::string received = answer.size() >= 4 ? answer.substr(answer.size() - 4) : std::string();
        const bool checksumOk = received == session_.View().L_CRC;
        if (!checksumOk)
            err_ << "tornvale-cli: " << Say(TCliText::ctChecksumBad, {Utf8FromAnsi(received), session_.View().L_CRC})
                 << '\n';
        if (request_.Json) {
            TJson json;
            json.Begin();
            json.Field("port", request_.Port);
            json.Field("measurement", Utf8FromAnsi(fields.ID_Mess));
            json.Field("date_time", Utf8FromAnsi(fields.Datum_Zeit));
            json.Field("counter", Utf8FromAnsi(fields.ID_Zaehler));
            json.Field("value_m", Utf8FromAnsi(fields.Messwert));
            json.Field("line", line);
            json.Field("checksum_ok", checksumOk);
            json.End();
            out_ << json.Text() << '\n';
        } else {
            out_ << Say(TCliText::ctMeasurement) << ": " << Utf8FromAnsi(fields.ID_Mess) << '\n'
                 << Say(TCliText::ctDateTime) << ": " << Utf8FromAnsi(fields.Datum_Zeit) << '\n'
                 << Say(TCliText::ctCounter) << ": " << Utf8FromAnsi(fields.ID_Zaehler) << '\n'
                 << Say(TCliText::ctValue) << ": " << Utf8FromAnsi(fields.Messwert) << " m\n";
        }
        return kExitOk;
    }

    int Download()
    {
        std::vector<TDay> days;
        for (TDay day = request_.Date; day <= request_.To; day = NextDay(day)) days.push_back(day);
        TProgress progress(err_, platform::StandardErrorIsTerminal(), int(days.size()), language_);
        progress_ = &progress;
        int code = kExitOk;
        for (std::size_t i = 0; i < days.size() && code == kExitOk; ++i) {
            const TDay day = days[i];
            const std::filesystem::path file = request_.Folder / DayFileName(day);
            // An earlier download of the day stays until the device answers for it.
            if (session_.ReadDay(day.Year % 100, day.Month, day.Day, request_.Folder,
                                 TDeviceSession::TDayFileReplace::dfOnFirstRecord) == TTransmitResult::trNoDayFile) {
                code = Fail(kExitFile, Say(TCliText::ctFileNotWritten, {FolderText(), FolderReason(request_.Folder)}));
                break;
            }
            progress.DayBegins(IsoText(day));
            code = Await([&] { progress.Records(session_.Request().Tally.StoredLines()); });
            const exchange::TDownloadTally& tally = session_.Request().Tally;
            progress.Records(tally.StoredLines());
            results_.push_back(
                {day, file, tally.StoredLines(), tally.BadChecksumLines(), tally.LostLines(), code == kExitOk});
            progress.DayEnds();
            if (code == kExitInterrupted)
                Fail(code, Say(TCliText::ctInterrupted, {std::to_string(tally.StoredLines()), IsoText(day)}));
            else if (code != kExitOk && tally.StoredLines() > 0)
                err_ << "tornvale-cli: "
                     << Say(TCliText::ctInterrupted, {std::to_string(tally.StoredLines()), IsoText(day)}) << '\n';
        }
        progress.Break();
        progress_ = nullptr;
        ReportDays(code);
        return code;
    }

    void ReportDays(int code)
    {
        if (request_.Json) {
            TJson json;
            json.Begin();
            json.Field("port", request_.Port);
            json.BeginArray("days");
            for (const TDayResult& r : results_) {
                json.Begin();
                json.Field("date", IsoText(r.Day));
                json.Field("file", PathText(r.File));
                json.Field("records", r.Stored);
                json.Field("bad_checksum", r.BadChecksum);
                json.Field("not_stored", r.NotStored);
                json.Field("complete", r.Complete);
                json.End();
            }
            json.EndArray();
            json.Field("exit", code);
            if (code == kExitOk)
                json.Null("error");
            else
                json.Field("error", error_);
            json.End();
            out_ << json.Text() << '\n';
            return;
        }
        for (const TDayResult& r : results_) {
            out_ << Say(TCliText::ctDaySummary, {IsoText(r.Day), std::to_string(r.Stored), PathText(r.File)})
                 << (r.Complete ? "" : Say(TCliText::ctDayIncomplete)) << '\n';
            if (r.BadChecksum > 0) out_ << Say(TCliText::ctDayBadChecksums, {std::to_string(r.BadChecksum)}) << '\n';
            if (r.NotStored > 0) out_ << Say(TCliText::ctDayNotStored, {std::to_string(r.NotStored)}) << '\n';
        }
    }

    const TCliRequest& request_;
    int language_;
    std::ostream& out_;
    std::ostream& err_;
    TDeviceSession session_;
    exchange::TDateTimeParts changedAt_ = PcNow();
    std::vector<TDayResult> results_;
    std::string error_;
    TProgress* progress_ = nullptr;  // while a download draws its bar
};

}  // namespace

int RunDeviceCommand(const TCliRequest& request, int language, std::ostream& out, std::ostream& err)
{
    return TRun(request, language, out, err).Execute();
}

std::string HelpText(int language)
{
    return Text(TCliText::ctHelp, language,
                {std::to_string(Seconds(exchange::kAnswerTime)), std::to_string(exchange::kDayQuietTime.count())});
}

}  // namespace cli
