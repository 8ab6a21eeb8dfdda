#include "tooling/testing/ChildProcess.h"
#include "platform/linux/Posix.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::string> MergedEnvironment(const std::vector<std::pair<std::string, std::string>>& overrides)
{
    std::vector<std::string> merged;
    for (char** e = environ; e && *e; ++e) {
        const std::string entry(*e);
        bool replaced = false;
        for (const auto& [name, value] : overrides)
            replaced = replaced || entry.compare(0, name.size() + 1, name + "=") == 0;
        if (!replaced) merged.push_back(entry);
    }
    for (const auto& [name, value] : overrides) merged.push_back(name + "=" + value);
    return merged;
}

std::vector<char*> Pointers(std::vector<std::string>& texts)
{
    std::vector<char*> out;
    for (auto& t : texts) out.push_back(t.data());
    out.push_back(nullptr);
    return out;
}

}  // namespace

ChildProcess::~ChildProcess()
{
    if (pid_ > 0) {
        Send(Signal::Kill);
        Wait(-1);
    }
    if (out_ >= 0) ::close(out_);
}

bool ChildProcess::Start(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::pair<std::string, std::string>>& env, std::string* error)
{
    auto fail = [&](const char* what, int err) {
        if (error) *error = std::string(what) + ": " + std::strerror(err);
        return false;
    };
    if (pid_ > 0) return fail("Start", EBUSY);
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) return fail("pipe2", errno);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (!errorFile_.empty())
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);

    std::vector<std::string> argv{program};
    argv.insert(argv.end(), args.begin(), args.end());
    auto envTexts = MergedEnvironment(env);
    auto argvPtrs = Pointers(argv);
    auto envPtrs = Pointers(envTexts);

    pid_t pid = -1;
    const int rc = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argvPtrs.data(), envPtrs.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (rc != 0) {
        ::close(pipeFds[0]);
        return fail(program.c_str(), rc);
    }
    pid_ = pid;
    out_ = pipeFds[0];
    pending_.clear();
    // A pidfd lets Wait() sleep in poll() instead of polling waitpid().
    pidFd_ = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    return true;
}

std::optional<std::string> ChildProcess::ReadLine(int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto nl = pending_.find('\n');
        if (nl != std::string::npos) {
            std::string line = pending_.substr(0, nl);
            pending_.erase(0, nl + 1);
            return line;
        }
        if (out_ < 0) return std::nullopt;
        pollfd p{out_, POLLIN, 0};
        const int ready = ::poll(&p, 1, posix::PollTimeoutMs(deadline));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return std::nullopt;
        char buffer[512];
        const ssize_t n = ::read(out_, buffer, sizeof buffer);
        if (n > 0) {
            pending_.append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            ::close(out_);
            out_ = -1;
        }
    }
}

bool ChildProcess::Send(Signal signal)
{
    if (pid_ <= 0) return false;
    const int number = signal == Signal::Interrupt ? SIGINT : signal == Signal::Terminate ? SIGTERM : SIGKILL;
    return ::kill(pid_, number) == 0;
}

std::optional<ExitStatus> ChildProcess::Wait(int timeoutMs)
{
    if (pid_ <= 0) return std::nullopt;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    int status = 0;
    for (;;) {
        const pid_t r = ::waitpid(pid_, &status, timeoutMs < 0 ? 0 : WNOHANG);
        if (r == pid_) break;
        if (r < 0 && errno != EINTR) return std::nullopt;
        if (r == 0) {
            const int left = posix::PollTimeoutMs(deadline);
            if (left == 0) return std::nullopt;
            if (pidFd_ >= 0) {
                pollfd p{pidFd_, POLLIN, 0};
                ::poll(&p, 1, left);
            } else {
                ::usleep(static_cast<useconds_t>(std::min(left, 10)) * 1000);
            }
        }
    }
    pid_ = -1;
    if (pidFd_ >= 0) {
        ::close(pidFd_);
        pidFd_ = -1;
    }
    ExitStatus result;
    result.exited = WIFEXITED(status);
    result.code = result.exited ? WEXITSTATUS(status) : WTERMSIG(status);
    return result;
}

}  // namespace platform
