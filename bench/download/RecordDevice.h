#pragma once
// A QD-TR25 for the download benchmark, played in this process on the master
// side of a pseudo-terminal linked under a COM name. It answers every frame
// as the simulator does, except "70" (the records of one day), which it
// answers with as many record lines as the benchmark asks for, back to back
// as fast as the line takes them. (The simulator itself keeps at most 9999
// records a day, its measurement numbers having four digits.)

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "tooling/tty/Pty.h"

class RecordDevice {
public:
    using Clock = std::chrono::steady_clock;

    // The bytes of `count` record lines of 7 December 2026, each
    // "nnnn;dd.mm.yyyy hh:nn:ss;cccccccccc;vvvvv.vvv" + checksum + CR LF.
    static std::string DayOfRecords(int count);

    // Links the pty under the lowest free COM name and starts answering.
    explicit RecordDevice(int records);
    ~RecordDevice();

    bool Ready() const { return !comName_.empty(); }
    const std::string& ComName() const { return comName_; }
    const std::string& SlavePath() const { return pty_.SlavePath(); }
    const std::string& Records() const { return records_; }

    // Whether a "70" frame has come, and when its first record went out.
    bool DownloadAsked() const { return asked_; }
    Clock::time_point FirstRecordSent() const { return firstSent_.load(); }
    bool AllRecordsSent() const { return allSent_; }

    // For the baseline: writes the records now, without being asked.
    void SendRecordsNow();

private:
    void Serve();
    void SendRecords();

    platform::PseudoTerminal pty_;
    std::string comName_;
    std::string records_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> asked_{false};
    std::atomic<bool> allSent_{false};
    std::atomic<Clock::time_point> firstSent_{};
    std::thread thread_;
};
