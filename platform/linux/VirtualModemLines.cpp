// Modem lines of a pseudo-terminal, from its lines file. An inotify watch on
// the port folder tells the pump when the file has been replaced.

#include "platform/linux/ModemLineSource.h"

#include "platform/PortFolder.h"
#include "platform/VirtualLines.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace platform::detail {

namespace {

class VirtualModemLines final : public ModemLineSource {
public:
    explicit VirtualModemLines(const std::string& comName)
        : folder_(PortFolder()), file_(comName + ".lines"), lines_(ReadVirtualLines(comName))
    {
        fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (fd_ < 0) return;
        if (inotify_add_watch(fd_, folder_.c_str(), IN_CLOSE_WRITE | IN_MOVED_TO | IN_DELETE | IN_MOVED_FROM) < 0) {
            close(fd_);
            fd_ = -1;
        }
    }
    ~VirtualModemLines() override
    {
        if (fd_ >= 0) close(fd_);
    }

    DWORD Status(DWORD& bits) override
    {
        bits = 0;
        if (lines_.cts) bits |= MS_CTS_ON;
        if (lines_.dsr) bits |= MS_DSR_ON;
        if (lines_.ring) bits |= MS_RING_ON;
        if (lines_.rlsd) bits |= MS_RLSD_ON;
        return ERROR_SUCCESS;
    }

    int ChangeFd() const override { return fd_; }

    LineChange TakeChanges() override
    {
        if (!OurFileChanged()) return {};
        std::ifstream in(folder_ + "/" + file_);
        std::stringstream text;
        text << in.rdbuf();
        return Apply(ParseVirtualLines(text.str()));
    }

    bool CountsLineErrors() const override { return false; }
    LineChange TakeLineErrors(bool) override { return {}; }
    void Stop() override {}

private:
    bool OurFileChanged()
    {
        alignas(inotify_event) char buffer[4096];
        bool ours = false;
        for (;;) {
            const ssize_t n = read(fd_, buffer, sizeof buffer);
            if (n <= 0) break;
            for (ssize_t offset = 0; offset < n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
                if (event->len > 0 && file_ == event->name) ours = true;
                offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        return ours;
    }

    LineChange Apply(const VirtualLineState& next)
    {
        const VirtualLineState& was = lines_;
        LineChange change;
        if (next.cts != was.cts) change.events |= EV_CTS;
        if (next.dsr != was.dsr) change.events |= EV_DSR;
        if (next.rlsd != was.rlsd) change.events |= EV_RLSD;
        if (next.ring && !was.ring) change.events |= EV_RING;
        // Counts that went down belong to a new file: they only set a new base.
        if (next.breaks > was.breaks) {
            change.events |= EV_BREAK;
            change.errors |= CE_BREAK;
        }
        if (next.frameErrors > was.frameErrors) change.errors |= CE_FRAME;
        if (next.parityErrors > was.parityErrors) change.errors |= CE_RXPARITY;
        if (next.overruns > was.overruns) change.errors |= CE_OVERRUN;
        if (change.errors & (CE_FRAME | CE_RXPARITY | CE_OVERRUN)) change.events |= EV_ERR;
        lines_ = next;
        return change;
    }

    std::string folder_;
    std::string file_;  // "COM3.lines"
    VirtualLineState lines_;
    int fd_ = -1;  // inotify on the port folder
};

}  // namespace

std::unique_ptr<ModemLineSource> MakeVirtualModemLines(const std::string& comName)
{
    return std::make_unique<VirtualModemLines>(comName);
}

}  // namespace platform::detail
