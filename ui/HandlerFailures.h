#pragma once
// The failures one run of a handler meets while it goes on to its end (the
// reply handler handles every line of a read, whatever one line met): handed
// to the error display when the run is done, in the order they happened.
// The first raised failure counts, later ones are dropped as before; each
// notice (the readout file's "Fehler ...") counts once per run.

#include <exception>
#include <string>
#include <vector>

class THandlerFailures {
public:
    void Raised(std::exception_ptr error);
    // A Windows-1252 text shown as it is, without the error icon.
    void Notice(const std::string& text);

    bool Any() const { return !failures_.empty(); }
    // Queues them for the error display (ui/HandlerCall.h), in order.
    void HandOver() const;

private:
    struct TFailure {
        std::exception_ptr Error;  // or else
        std::string Notice;
    };
    std::vector<TFailure> failures_;
    bool raised_ = false;
};
