#pragma once
// SIGINT, SIGTERM and SIGHUP turned into a request that a single-threaded
// program can check, wait for, or poll together with its own descriptors.
// Without it a long-running program would die in the middle of a write and
// leave its port link behind.

namespace platform {

class TerminationSignals {
public:
    // Installs the handlers: the first termination signal is only recorded, a
    // second one ends the process as usual (for a program stuck in a write).
    // SIGPIPE is ignored meanwhile. Only one instance may exist at a time.
    TerminationSignals();
    // Restores the default actions.
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    bool Requested() const;
    // Sleeps up to `milliseconds` (negative: no limit), waking at once when a
    // termination signal arrives. Returns Requested().
    bool WaitFor(int milliseconds) const;
    // Readable from the first termination signal on.
    int Fd() const;
};

}  // namespace platform
