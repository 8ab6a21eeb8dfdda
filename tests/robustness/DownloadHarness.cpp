#include "DownloadHarness.h"

#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "exchange/ReadoutFile.h"
#include "exchange/ReplyHandling.h"
#include "platform/MainThread.h"
#include "platform/PortFolder.h"
#include "serial/CPort1Settings.h"

namespace {

std::string LinkFreshComName(const std::string& slavePath)
{
    for (int n = 40; n < 250; ++n) {
        const std::string name = "COM" + std::to_string(n);
        if (platform::LinkPort(name, slavePath)) return name;
    }
    throw std::runtime_error("no free COM name to link");
}

}  // namespace

DownloadHarness::DownloadHarness(std::string filePath) : filePath_(std::move(filePath))
{
    if (!pty_.IsOpen()) throw std::runtime_error("no pseudo-terminal");
    comName_ = LinkFreshComName(pty_.SlavePath());
    if (!exchange::CreateReadoutFile(filePath_)) throw std::runtime_error("cannot create " + filePath_);
    LoadCPort1Settings(port_);
    port_.SetPortNum(comName_);
    port_.SetOnRxFlag([this](TObject*) { OnRxFlag(); });
    port_.Open();
}

DownloadHarness::~DownloadHarness()
{
    pty_.CloseMaster();  // releases a device thread blocked in a write
    {
        std::lock_guard lock(mutex_);
        bytesRead_ = UINT64_MAX;  // and one waiting for the handler
    }
    readProgress_.notify_all();
    JoinDevice();
    port_.Close();
    platform::UnlinkPort(comName_);
}

void DownloadHarness::JoinDevice()
{
    if (device_.joinable()) device_.join();
}

// The window's reply path in mode "Datei lesen", one event at a time.
void DownloadHarness::OnRxFlag()
{
    std::string data;
    port_.ReadText(data, port_.BytesWaiting());
    for (const std::string& line : splitter_.Feed(data)) {
        const exchange::TReplyView view = exchange::HandleReply(line, exchange::TReplyMode::rmStoredRecord);
        try {
            if (!exchange::AppendReadoutLine(filePath_, *view.ReadoutLine))
                messages_.push_back(exchange::kAppendFailedText);
        } catch (const std::exception& error) {
            messages_.push_back(error.what());
        }
        ++linesHandled_;
    }
    {
        std::lock_guard lock(mutex_);
        bytesRead_ += data.size();
    }
    readProgress_.notify_all();
}

void DownloadHarness::SendPaced(std::string bytes, std::size_t batchLimit)
{
    JoinDevice();
    deviceDone_ = false;
    device_ = std::thread([this, bytes = std::move(bytes), batchLimit] {
        const std::uint64_t base = bytesRead_;
        std::size_t pos = 0;
        while (pos < bytes.size()) {
            // Whole lines up to the limit; a longer line goes alone.
            std::size_t end = pos;
            for (std::size_t lf = bytes.find('\n', pos); lf != std::string::npos; lf = bytes.find('\n', end)) {
                if (end != pos && lf + 1 - pos > batchLimit) break;
                end = lf + 1;
            }
            if (end == pos) end = bytes.size();
            if (!pty_.WriteAll(bytes.substr(pos, end - pos))) break;
            pos = end;
            std::unique_lock lock(mutex_);
            if (!readProgress_.wait_for(lock, std::chrono::milliseconds(kPatienceMs),
                                        [&] { return bytesRead_ >= base + pos; }))
                break;
        }
        deviceDone_ = true;
    });
}

void DownloadHarness::SendFlood(std::string bytes)
{
    JoinDevice();
    deviceDone_ = false;
    device_ = std::thread([this, bytes = std::move(bytes)] {
        pty_.WriteAll(bytes);
        deviceDone_ = true;
    });
}

bool DownloadHarness::ServeUntilRead(std::uint64_t bytes, int timeoutMs)
{
    const bool ok = platform::MainQueue::RunUntil([&] { return bytesRead_ >= bytes && deviceDone_; },
                                                  std::chrono::milliseconds(timeoutMs));
    if (ok) JoinDevice();
    return ok;
}

bool DownloadHarness::ServeUntilLines(std::uint64_t lines, int timeoutMs)
{
    return platform::MainQueue::RunUntil([&] { return linesHandled_ >= lines; }, std::chrono::milliseconds(timeoutMs));
}

std::string ReadWholeFile(const std::string& path, bool* ok)
{
    std::ifstream in(path, std::ios::binary);
    if (ok) *ok = static_cast<bool>(in);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::string ExpectedReadout(const std::string& sent)
{
    std::string out;
    std::size_t start = 0;
    for (std::size_t lf = sent.find('\n'); lf != std::string::npos; lf = sent.find('\n', start)) {
        const std::string line = sent.substr(start, lf - start);
        const auto cr = line.find('\r');
        out += (cr == std::string::npos ? std::string() : line.substr(0, cr)) + "\r\n";
        start = lf + 1;
    }
    return out;
}
