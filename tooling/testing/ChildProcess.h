#pragma once
// A program started as a child process with its standard output on a pipe:
// end-to-end tests and benchmarks start the simulator this way, read the line
// it announces itself with, and stop it as a user would.

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platform {

struct ExitStatus {
    bool exited = false;  // ended by exit(); otherwise by a signal
    int code = 0;         // exit code, or the signal number
};

class ChildProcess {
public:
    ChildProcess() = default;
    // A child still running is killed and reaped, so no test leaves one behind.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The next Start sends the child's stderr to this file instead.
    void SetErrorFile(std::string path) { errorFile_ = std::move(path); }

    // Starts `program` (a path) with `args`. Its stdout goes to a pipe read by
    // ReadLine, stdin is closed, stderr is shared with this process (or goes
    // to the error file). `env`
    // entries (name, value) are added to, or replace, this process's
    // environment for the child.
    bool Start(const std::string& program, const std::vector<std::string>& args,
               const std::vector<std::pair<std::string, std::string>>& env = {}, std::string* error = nullptr);

    // The next line of the child's stdout without its newline; nullopt when
    // none is complete within timeoutMs or the child closed its stdout first.
    std::optional<std::string> ReadLine(int timeoutMs);

    enum class Signal { Interrupt, Terminate, Kill };
    bool Send(Signal signal);
    // Waits for the end at most timeoutMs (-1: no limit); nullopt on time-out.
    std::optional<ExitStatus> Wait(int timeoutMs);
    bool Running() const { return pid_ > 0; }
    int Pid() const { return pid_; }

private:
    int pid_ = -1;
    int out_ = -1;
    int pidFd_ = -1;
    std::string pending_;
    std::string errorFile_;
};

}  // namespace platform
