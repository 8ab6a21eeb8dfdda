#pragma once
// Every place where Qt calls into the program (a control's event, a signal,
// a timer tick, a port delivery) runs the program's handler through
// CallHandler. An exception that escapes the handler ends it right there, at
// the edge of our code: Qt's widget code is built without exception support,
// so unwinding through it would skip its clean-up and leave its state half
// changed. The exception is handed to the application, whose notify() shows
// it in the error display as soon as control is back in the event loop.

#include <exception>
#include <string>
#include <utility>

// What a handler runs for: an event (the operator's act, a device's line),
// or the program's own timer. A failure of the timer repeats every tick on
// its own; it stays shown once even after the operator acts, until something
// works again, so that it cannot pop up again under every click.
enum class THandlerCause { hcEvent, hcTimer };

// Queues the exception for the application's error display. Without a
// TApplication there is no display: the exception is thrown on.
void HandOverEscapedError(std::exception_ptr error, THandlerCause cause = THandlerCause::hcEvent);
// Queues a plain notice (a Windows-1252 text, no icon) for the error display
// in the same line as the errors: after every failure handed over before it.
// Without a TApplication it is shown at once.
void HandOverNotice(const std::string& text);

template <typename Handler>
void CallHandler(Handler&& handler, THandlerCause cause = THandlerCause::hcEvent)
{
    try {
        std::forward<Handler>(handler)();
    } catch (...) {
        HandOverEscapedError(std::current_exception(), cause);
    }
}
