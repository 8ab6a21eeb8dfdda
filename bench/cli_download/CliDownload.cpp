// Ten days of 9,999 records each, downloaded from qdtr25-sim once by
// tornvale-cli (one "download --date --to" run) and once through the real
// window (offscreen; for each day "Datei lesen", year, month and day
// committed with Enter, "Übertragen", until the day's file is whole). The
// figure is the command line's records per second against the window's.
//
// The window is told nothing about the end of a day: the benchmark sees the
// file whole and goes on. The command line must find the end itself, by the
// line's quiet after the last record, once a day.
//
// Usage: bench_cli_download [--days=N] [--records=N] [--smoke]

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QPointer>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "BenchReport.h"
#include "ReadFile.h"
#include "WindowControls.h"
#include "exchange/Checksum.h"
#include "exchange/DeviceSession.h"
#include "sim/Records.h"
#include "tooling/testing/ChildProcess.h"
#include "ui/Application.h"
#include "ui/SDIMain.h"

namespace {

using Clock = std::chrono::steady_clock;

using bench::ReadFile;

std::string DayOfRecords(int day, int records)
{
    std::string lines;
    for (int n = 1; n <= records; ++n) {
        const std::string body = sim::RecordBody({2026, 12, day}, n, {records, 0});
        lines += body + ChecksumText(GetChecksumme(body, std::int32_t(body.size()))) + "\r\n";
    }
    return lines;
}

std::string DayFile(const QString& folder, int day)
{
    char name[16];
    std::snprintf(name, sizeof name, "26_12_%02d.txt", day);
    return QDir(folder).filePath(name).toStdString();
}

struct Outcome {
    int exactDays = 0;
    double seconds = 0;
};

int ExactDays(const QString& folder, int days, int records)
{
    int exact = 0;
    for (int day = 1; day <= days; ++day) exact += ReadFile(DayFile(folder, day)) == DayOfRecords(day, records);
    return exact;
}

Outcome ThroughCommandLine(const std::string& comName, int days, int records, const QString& folder)
{
    char to[16];
    std::snprintf(to, sizeof to, "2026-12-%02d", days);
    platform::ChildProcess cli;
    cli.SetErrorFile("/dev/null");  // its progress lines
    const auto start = Clock::now();
    if (!cli.Start(TORNVALE_CLI_PATH, {"download", "--port", comName, "--date", "2026-12-01", "--to", to, "--folder",
                                       folder.toStdString()}))
        return {};
    const auto status = cli.Wait(30 * 60 * 1000);
    Outcome outcome;
    outcome.seconds = bench::SecondsSince(start);
    if (!status || !status->exited || status->code != 0) std::printf("tornvale-cli did not succeed\n");
    outcome.exactDays = ExactDays(folder, days, records);
    return outcome;
}

Outcome ThroughWindow(const std::string& comName, int days, int records, const QString& folder)
{
    using bench::Commit;
    using bench::Control;
    using bench::ServeUntil;
    QDir::setCurrent(folder);  // "Datei" starts at the current directory
    QPointer<TSDIAppForm> form = new TSDIAppForm();
    form->show();
    ServeUntil([&] { return form->isVisible(); }, 5000);
    if (auto* port = Control<QComboBox>(form, "Schnittstelle")) {
        const int index = port->findText(QString::fromStdString(comName));
        port->setCurrentIndex(index);
        emit port->activated(index);
    }
    // A port that opened uncovers the mode choice.
    auto* cover = Control<QWidget>(form, "Panel6");
    ServeUntil([&] { return cover && !cover->isVisible(); }, 5000);
    ServeUntil([] { return false; }, 1500);  // the clock's answer

    const auto start = Clock::now();
    for (int day = 1; day <= days; ++day) {
        if (auto* mode = Control<QAbstractButton>(form, "Datei_lesen")) QTest::mouseClick(mode, Qt::LeftButton);
        Commit(form, "JJ", "26");
        Commit(form, "MM", "12");
        Commit(form, "TT", QByteArray::number(day).constData());
        if (auto* send = Control<QAbstractButton>(form, "Uebertragen")) QTest::mouseClick(send, Qt::LeftButton);
        const std::size_t whole = std::size_t(records) * 51;
        if (!ServeUntil([&] { return ReadFile(DayFile(folder, day)).size() >= whole; }, 10 * 60 * 1000)) break;
    }
    Outcome outcome;
    outcome.seconds = bench::SecondsSince(start);
    delete form.data();
    outcome.exactDays = ExactDays(folder, days, records);
    return outcome;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool smoke = bench::SmokeRequested(argc, argv);
    const int days = static_cast<int>(bench::LongArg(argc, argv, "days", smoke ? 2 : 10));
    const int records = static_cast<int>(bench::LongArg(argc, argv, "records", smoke ? 500 : 9999));

    QTemporaryDir runtimeDir;  // a private port folder
    QTemporaryDir cliFolder, windowFolder;
    if (!runtimeDir.isValid() || !cliFolder.isValid() || !windowFolder.isValid()) return 1;
    qputenv("XDG_RUNTIME_DIR", runtimeDir.path().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);

    platform::ChildProcess sim;
    if (!sim.Start(QDTR25_SIM_PATH, {"--port", "auto", "--records", std::to_string(records)})) return 1;
    const auto announced = sim.ReadLine(60000);
    if (!announced) return 1;
    const std::string comName = announced->substr(0, announced->find(' '));

    const Outcome cli = ThroughCommandLine(comName, days, records, cliFolder.path());
    const Outcome window = ThroughWindow(comName, days, records, windowFolder.path());
    const double total = double(days) * records;
    const double cliRate = cli.seconds > 0 ? total / cli.seconds : 0;
    const double windowRate = window.seconds > 0 ? total / window.seconds : 0;
    const double quiet = days * std::chrono::duration<double>(exchange::kDayQuietTime).count();
    std::printf("%d days of %d records: tornvale-cli %.2f s (%d days exact; %.1f s of it the quiet that ends each "
                "day), window %.2f s (%d days exact)\n",
                days, records, cli.seconds, cli.exactDays, quiet, window.seconds, window.exactDays);
    const double ratio = windowRate > 0 ? cliRate / windowRate : 0;
    bench::Report({"download of " + std::to_string(days) + " days: command line records per second (window: baseline)",
                   bench::Fixed(cliRate, 0), bench::Fixed(windowRate, 0), bench::Fixed(ratio, 2),
                   "≥ 0.5 × window, every day exact",
                   ratio >= 0.5 && cli.exactDays == days && window.exactDays == days});
    return 0;
}
