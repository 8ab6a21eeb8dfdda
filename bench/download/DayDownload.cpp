// One day's records downloaded in "Datei lesen": the device sends N record
// lines back to back, the real window (offscreen) stores them. The harness
// works the window as the operator does, through the controls' object
// names: it picks the port in "Schnittstelle", clicks "Datei_lesen",
// commits year, month and day with Enter, clicks "Uebertragen" and waits
// until the readout file holds every line (or stops growing).
//
// Baseline in the same run: the same bytes copied from a pty into a file by
// a plain read loop.
//
// Usage: bench_download [--records=N] [--smoke]

#include <QApplication>
#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

#include "BenchReport.h"
#include "ReadFile.h"
#include "WindowControls.h"
#include "exchange/Checksum.h"
#include "exchange/ReadoutFile.h"
#include "exchange/ReplyHandling.h"
#include "exchange/ReplyLineSplitter.h"
#include "serial/CPort1Settings.h"
#include "RecordDevice.h"
#include "tooling/testing/PlainTtyIo.h"
#include "ui/Application.h"
#include "ui/SDIMain.h"

namespace {

using Clock = std::chrono::steady_clock;

using bench::ReadFile;

using bench::Commit;
using bench::Control;
using bench::ServeUntil;

struct Outcome {
    bool wired = false;  // the window sent the download request
    std::uint64_t storedLines = 0;
    bool exact = false;  // the file holds exactly the lines sent, in order
    double seconds = 0;  // first record sent -> last line stored
};

void AwaitStored(Outcome& outcome, const std::string& file, const std::string& expected, const RecordDevice& device);

Outcome DownloadThroughWindow(int records, const QString& folder)
{
    Outcome outcome;
    RecordDevice device(records);
    if (!device.Ready()) return outcome;
    const std::string file = QDir(folder).filePath("26_12_07.txt").toStdString();
    // Record lines end in CR LF, so the file must hold exactly the bytes sent.
    const std::string& expected = device.Records();

    QDir::setCurrent(folder);  // "Datei" starts at the current directory
    QPointer<TSDIAppForm> form = new TSDIAppForm();
    form->show();
    ServeUntil([&] { return form->isVisible(); }, 5000);

    auto* port = Control<QComboBox>(form, "Schnittstelle");
    if (port) {
        // Picked from the list as with the mouse: typing would first complete
        // to the list's first entry, which may be a real port of this machine.
        const int index = port->findText(QString::fromStdString(device.ComName()));
        port->setCurrentIndex(index);
        emit port->activated(index);
    }
    const bool opened = ServeUntil([&] { return form->Session().Port().Connected(); }, 5000);
    if (auto* mode = Control<QAbstractButton>(form, "Datei_lesen")) QTest::mouseClick(mode, Qt::LeftButton);
    Commit(form, "JJ", "26");
    Commit(form, "MM", "12");
    Commit(form, "TT", "07");
    if (auto* send = Control<QAbstractButton>(form, "Uebertragen")) QTest::mouseClick(send, Qt::LeftButton);

    outcome.wired = opened && ServeUntil([&] { return device.DownloadAsked(); }, 5000);
    if (outcome.wired) AwaitStored(outcome, file, expected, device);
    delete form.data();
    return outcome;
}

// Waits until the file holds `expected` or stops growing for 5 s, then
// fills in the outcome.
void AwaitStored(Outcome& outcome, const std::string& file, const std::string& expected, const RecordDevice& device)
{
    std::uint64_t lastSize = 0;
    auto lastGrowth = Clock::now();
    Clock::time_point finished{};
    ServeUntil(
        [&] {
            const auto size = static_cast<std::uint64_t>(QFileInfo(QString::fromStdString(file)).size());
            if (size != lastSize) {
                lastSize = size;
                lastGrowth = Clock::now();
            }
            if (size >= expected.size()) {
                finished = Clock::now();
                return true;
            }
            return device.AllRecordsSent() && Clock::now() - lastGrowth > std::chrono::seconds(5);
        },
        30 * 60 * 1000);
    const std::string stored = ReadFile(file);
    outcome.storedLines = static_cast<std::uint64_t>(std::count(stored.begin(), stored.end(), '\n'));
    outcome.exact = stored == expected;
    if (finished == Clock::time_point{}) finished = lastGrowth;
    outcome.seconds = std::chrono::duration<double>(finished - device.FirstRecordSent()).count();
}

// The same download below the window: CPort1 with the window's reply path
// in "Datei lesen" (line splitter, reply handling, readout file), for when
// the window's own handlers are not there.
Outcome DownloadThroughPort(int records, const QString& folder)
{
    Outcome outcome;
    RecordDevice device(records);
    if (!device.Ready()) return outcome;
    const std::string file = QDir(folder).filePath("port-level.txt").toStdString();
    if (!exchange::CreateReadoutFile(file)) return outcome;
    TComPort port;
    LoadCPort1Settings(port);
    port.SetPortNum(device.ComName());
    exchange::TReplyLineSplitter splitter;
    port.SetOnRxFlag([&](TObject*) {
        std::string data;
        port.ReadText(data, port.BytesWaiting());
        for (const std::string& line : splitter.Feed(data)) {
            const auto view = exchange::HandleReply(line, exchange::TReplyMode::rmStoredRecord);
            exchange::AppendReadoutLine(file, *view.ReadoutLine);
        }
    });
    port.Open();
    const std::string payload = "7026_12_07";
    port.PurgeQueues(true, true);
    port.WriteText("\x02" + payload + ChecksumText(GetChecksumme(payload, 10)) + "\x03\r");
    outcome.wired = ServeUntil([&] { return device.DownloadAsked(); }, 5000);
    if (outcome.wired) AwaitStored(outcome, file, device.Records(), device);
    port.Close();
    return outcome;
}

Outcome CopyBaseline(int records, const QString& folder)
{
    Outcome outcome;
    RecordDevice device(records);
    if (!device.Ready()) return outcome;
    const std::string file = QDir(folder).filePath("baseline.txt").toStdString();
    std::thread sender;
    const platform::CopyResult copied = platform::CopyTtyLinesToFile(
        device.SlavePath(), file, static_cast<std::uint64_t>(records), std::chrono::minutes(10),
        [&] { sender = std::thread([&] { device.SendRecordsNow(); }); });
    const auto done = Clock::now();
    if (sender.joinable()) sender.join();
    outcome.wired = true;
    outcome.storedLines = copied.lines;
    outcome.exact = ReadFile(file) == device.Records();
    outcome.seconds = std::chrono::duration<double>(done - device.FirstRecordSent()).count();
    return outcome;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool smoke = bench::SmokeRequested(argc, argv);
    const int records = static_cast<int>(bench::LongArg(argc, argv, "records", smoke ? 2000 : 100000));

    QTemporaryDir runtimeDir;  // a private port folder
    QTemporaryDir folder;      // the readout folder
    if (!runtimeDir.isValid() || !folder.isValid()) return 1;
    qputenv("XDG_RUNTIME_DIR", runtimeDir.path().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);

    const Outcome window = DownloadThroughWindow(records, folder.path());
    const Outcome baseline = CopyBaseline(records, folder.path());

    const double rate = window.seconds > 0 ? window.storedLines / window.seconds : 0;
    const double baseRate = baseline.seconds > 0 ? baseline.storedLines / baseline.seconds : 0;
    std::printf("day download of %d records: window stored %llu lines (%s) in %.2f s; plain copy %llu lines (%s) "
                "in %.3f s\n",
                records, static_cast<unsigned long long>(window.storedLines), window.exact ? "exact" : "NOT exact",
                window.seconds, static_cast<unsigned long long>(baseline.storedLines),
                baseline.exact ? "exact" : "NOT exact", baseline.seconds);
    if (!window.wired) {
        // Until the window's handlers are there, the figures come from the
        // same path below the window, and say so.
        std::printf("the window did not send the download request (its exchange handlers are not wired yet); "
                    "measuring CPort1 with the window's reply path instead\n");
        const Outcome port = DownloadThroughPort(records, folder.path());
        const double portRate = port.seconds > 0 ? port.storedLines / port.seconds : 0;
        std::printf("port level: stored %llu lines (%s) in %.2f s\n", static_cast<unsigned long long>(port.storedLines),
                    port.exact ? "exact" : "NOT exact", port.seconds);
        const bool portAll = port.exact && port.storedLines == static_cast<std::uint64_t>(records);
        bench::Report({"day download, port level (window not wired): records stored of " + std::to_string(records),
                       std::to_string(port.storedLines) + (port.exact ? " (exact, in order)" : " (differs)"),
                       std::to_string(baseline.storedLines), "—", "all, in order", portAll});
        bench::Report({"day download, port level: lines per second", bench::Fixed(portRate, 0),
                       bench::Fixed(baseRate, 0), bench::Fixed(baseRate > 0 ? portRate / baseRate : 0, 3),
                       "≥ 20000 /s, none lost", portRate >= 20000 && portAll});
        return 0;
    }
    const bool allStored = window.exact && window.storedLines == static_cast<std::uint64_t>(records);
    bench::Report({"day download: records stored of " + std::to_string(records) + " sent",
                   std::to_string(window.storedLines) + (window.exact ? " (exact, in order)" : " (differs)"),
                   std::to_string(baseline.storedLines), "—", "all, in order", allStored});
    bench::Report({"day download: lines per second", bench::Fixed(rate, 0), bench::Fixed(baseRate, 0),
                   bench::Fixed(baseRate > 0 ? rate / baseRate : 0, 3), "≥ 20000 /s, none lost",
                   rate >= 20000 && allStored});
    return 0;
}
