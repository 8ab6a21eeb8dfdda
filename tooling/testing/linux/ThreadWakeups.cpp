#include "tooling/testing/ThreadWakeups.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace platform {

std::vector<ThreadWakeups> ReadThreadWakeups()
{
    std::vector<ThreadWakeups> result;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task", ec)) {
        ThreadWakeups t;
        try {
            t.id = std::stoi(entry.path().filename().string());
        } catch (const std::exception&) {
            continue;
        }
        std::ifstream status(entry.path() / "status");
        std::string line;
        bool seen = false;
        while (std::getline(status, line)) {
            std::istringstream fields(line);
            std::string key;
            fields >> key;
            if (key == "Name:") {
                std::getline(fields >> std::ws, t.name);
            } else if (key == "voluntary_ctxt_switches:") {
                fields >> t.voluntary;
                seen = true;
            } else if (key == "nonvoluntary_ctxt_switches:") {
                fields >> t.involuntary;
            }
        }
        // A thread that ended while we looked has no counts to report.
        if (seen) result.push_back(t);
    }
    return result;
}

int CurrentThreadId()
{
    return static_cast<int>(::syscall(SYS_gettid));
}

}  // namespace platform
