#pragma once
// A failure that must be raised only after the window has shown what was
// already done before it (the year field resets `Datei` before its
// conversion fails; a clock reply sets `Modulzeit` before its number fails).
//
//   auto r = CommitField(...);
//   ApplyToWindow(r);          // shows the partial outcome
//   r.Failure.Raise();         // then the error display takes over

#include <exception>
#include <string>

namespace exchange {

class TDeferredFailure {
public:
    // Keeps the first exception only.
    template <class E>
    void Set(const E& error)
    {
        if (failure_) return;
        failure_ = std::make_exception_ptr(error);
        message_ = error.what();
    }

    explicit operator bool() const { return failure_ != nullptr; }
    const std::string& Message() const { return message_; }

    // Rethrows the kept exception with its original type; no-op without one.
    void Raise() const
    {
        if (failure_) std::rethrow_exception(failure_);
    }

private:
    std::exception_ptr failure_;
    std::string message_;
};

}  // namespace exchange
