#pragma once
// The exchange with the device on the chosen port, owned in one place: the
// port, its purge, write and read, the splitting of reply lines, the request
// under way and its state, the frame under construction (FrameDraft.h), the
// day file and its tally, the clock poll's query and the failures in order.
// No Qt and no widgets: the window and the command line drive it alike.
//
//   TDeviceSession session;                     // the port as CPort1 is stored
//   session.SetListener([&] { show session.View() and session.Request(); });
//   session.OpenPort("COM3");                   // opens, asks for the clock
//   session.ReadDay(26, 12, 7, "/data");         // or Transmit() the draft
//   while (session.RequestOpen() || session.RequestWaiting()) {
//       MainQueue::RunFor(TDeviceSession::kCheckEvery);  // deliveries come through the
//       session.CheckTime();                             // main thread's queue
//   }
//
// A device lost under the port is raised by the port's event thread as
// EComPort out of the main queue's loop (RunFor / ProcessPending), as the
// window's error display shows it; the session sees the loss by itself at the
// next CheckTime() and cuts the request.
//   session.Request().State, .Tally.StoredLines(), .Refusal ...
//
// One request at a time. A request asked for while another is still open
// waits and goes out when that one has ended (a later one replaces it); a
// clock poll is skipped instead. Nothing sent ever cuts a line or a day;
// only choosing a port again cuts the day under way.
//
// When a request has ended, without an end line from the device:
// - one answer line (value, clock, "OK 81", "ERR ...") ends a single request;
// - a day has ended when the line has been quiet for kDayQuietTime after a
//   record: at 57600 baud a 51-byte record takes 9 ms, and a device sending
//   lines in pieces (the simulator's --split) pauses 20 ms (up to 100 ms)
//   between them, so 500 ms of silence is the day's end, not a pause;
// - nothing at all within kAnswerTime is no answer: a slow device (the
//   simulator's --delay-ms) answers within 3 s, so 5 s.
// CheckTime() decides these; call it at least every kCheckEvery while a
// request is open. A loss of the device is seen there too.

#include "exchange/DeferredFailure.h"
#include "exchange/DownloadTally.h"
#include "exchange/FrameDraft.h"
#include "exchange/ReplyHandling.h"
#include "exchange/ReplyLineSplitter.h"
#include "exchange/RequestState.h"
#include "exchange/SessionTexts.h"
#include "exchange/SystemTime.h"

#include <chrono>
#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class TComPort;

namespace exchange {

using TSteadyClock = std::function<std::chrono::steady_clock::time_point()>;

inline constexpr std::chrono::milliseconds kAnswerTime{5000};
inline constexpr std::chrono::milliseconds kDayQuietTime{500};

// One request: what was sent and what has come of it.
struct TRequest {
    TRequestKind Kind = TRequestKind::rkNone;
    TRequestState State = TRequestState::rsAnswered;
    std::string Port;     // the COM name it went to
    std::string Frame;    // as sent: STX ... ETX CR
    std::string Answer;   // the answering line's body (value, clock, "OK 81")
    std::string Refusal;  // the device's refusal, e.g. "ERR DATE"
    std::string Day;      // a day request's day, "07.12.26"
    std::filesystem::path DayFile;
    TDownloadTally Tally;  // a day's records: stored, bad checksum, not stored
    std::chrono::steady_clock::time_point SentAt;
    std::chrono::steady_clock::time_point LastByteAt;
};

// What the window shows of the exchange; Windows-1252 texts.
struct TSessionView {
    int LineSerial = 0;   // counts every change of Rueckgabe, L_CRC and Panels
    int ClockSerial = 0;  // counts every change of Modulzeit and ClockStale
    std::string Rueckgabe;
    std::string L_CRC;
    std::optional<TReadingPanels> Panels;  // only ever from a value's answer
    std::string Modulzeit;                 // the device clock as last read
    bool ClockStale = false;               // the device did not answer since
    std::optional<bool> UhrStellenOffered;
    std::string Status;      // the status bar's text from the exchange; empty: none
    std::string StatusFile;  // UTF-8: the day's file the status names, shown after it
    int StatusSerial = 0;    // counts every change of Status, also to the same text
};

// A failure met while handling lines, for the error display: an exception,
// or a plain notice (the readout file's "Fehler ...").
struct TSessionFailure {
    std::exception_ptr Error;
    std::string Notice;
};

// How Transmit() went.
enum class TTransmitResult {
    trSent,
    trWaiting,      // goes out when the request under way has ended
    trNotComplete,  // the draft is not complete for its mode: nothing sent
    trNoDayFile,    // the day file cannot be created: nothing sent
};

// Why a day's file cannot be written, after trNoDayFile.
struct TDayFileFailure {
    int SystemError = 0;  // an errno; 0 when there is no folder
    std::filesystem::path Folder;
};

class TDeviceSession {
public:
    static constexpr std::chrono::milliseconds kCheckEvery{100};

    // The port is set up as the device's line needs (CPort1Settings.h).
    explicit TDeviceSession(TSteadyClock clock = {});
    ~TDeviceSession();
    TDeviceSession(const TDeviceSession&) = delete;
    TDeviceSession& operator=(const TDeviceSession&) = delete;

    // Called after every change of what the session holds.
    void SetListener(std::function<void()> listener) { listener_ = std::move(listener); }
    // The session's own words (status, a refusal in Rueckgabe, a stale
    // clock) are said again in the language at once.
    void SetLanguage(TTextLanguage language);
    TTextLanguage Language() const { return language_; }

    TComPort& Port() { return *port_; }
    const TComPort& Port() const { return *port_; }
    bool PortOpen() const;

    // ---- requests ----
    // Cuts a day under way, closes a port whose device has gone, opens the
    // named port (throws EComPort) and asks for the clock (throws when the
    // purge or the write fails).
    void OpenPort(const std::string& comName);
    // The clock poll's query. False, sending nothing, without an open port or
    // while a request is open.
    bool Poll();
    // Requests built without the draft (the command line).
    TTransmitResult QueryClock();
    TTransmitResult SetClock(const TDateTimeParts& when);
    TTransmitResult ReadValue(int yy, int mm, int dd, int number);
    // The day's records into folder/yy_mm_dd.txt. A file already there is
    // emptied when the request goes out, as the window's "Datei lesen" does;
    // with dfOnFirstRecord only when the device has begun to answer, so a
    // silent device leaves the last download (the command line).
    enum class TDayFileReplace { dfWhenSent, dfOnFirstRecord };
    TTransmitResult ReadDay(int yy, int mm, int dd, const std::filesystem::path& folder,
                            TDayFileReplace replace = TDayFileReplace::dfWhenSent);
    // Sends the draft's frame ("Übertragen").
    TTransmitResult Transmit();

    // Ends requests by time, sees a lost device, sends a waiting request.
    void CheckTime();

    const TDayFileFailure& DayFileFailure() const { return dayFileFailure_; }

    bool RequestOpen() const { return IsOpen(request_.State); }
    bool RequestWaiting() const { return waiting_ != nullptr; }
    const TRequest& Request() const { return request_; }

    // ---- what the window shows ----
    TFrameDraft& Draft() { return draft_; }
    const TFrameDraft& Draft() const { return draft_; }
    const TSessionView& View() const { return view_; }
    const TReplyLineSplitter& Splitter() const { return splitter_; }
    // The failures met since the last call, in order.
    std::vector<TSessionFailure> TakeFailures();

    // The port's line event: reads what has arrived and handles each line.
    // Bound to the port by the constructor.
    void Deliver();

private:
    struct TOutgoing;
    bool CanWriteDayFile(const std::filesystem::path& file);
    TTransmitResult Ask(TOutgoing outgoing);
    void SendNow(const TOutgoing& outgoing);
    void HandleLine(const std::string& line);
    void HandleRecord(const std::string& line);
    void Show(const TReplyView& view);
    void End(TRequestState state);
    // What the session says, in whichever language it is asked for.
    using TSay = std::function<std::string(TTextLanguage)>;
    // Sets the status bar's word; an empty `say` clears it.
    void SetStatus(TSay say, bool clearedByGoodLine = false, std::string file = {});
    // A text of the table, with its values, in any language.
    static TSay Say(TSessionText text, TTextValues values = {});
    // A day's words that count its stored lines ("3 Zeilen", "1 line").
    static TSay DayCountSay(TSessionText text, const TRequest& day);
    void SendWaiting();
    void Failed(std::exception_ptr error);
    void Notice(const std::string& text);
    void Changed();
    std::chrono::steady_clock::time_point Now() const;

    TSteadyClock clock_;
    std::unique_ptr<TComPort> port_;
    std::function<void()> listener_;
    TTextLanguage language_ = TTextLanguage::tlGerman;

    TFrameDraft draft_;
    TRequest request_;
    std::unique_ptr<TOutgoing> waiting_;
    TReplyLineSplitter splitter_;
    bool longLineSaid_ = false;
    bool dayFileDue_ = false;  // the day's file is replaced when its first record arrives
    TSessionView view_;
    bool statusClearedByGoodLine_ = false;
    TSay statusSay_;     // how the status is said, for a change of language
    TSay rueckgabeSay_;  // the same for a refusal shown in Rueckgabe
    TDayFileFailure dayFileFailure_;
    std::vector<TSessionFailure> failures_;
    bool deliveryRaised_ = false;  // one exception per delivery, as one handler run
};

}  // namespace exchange
