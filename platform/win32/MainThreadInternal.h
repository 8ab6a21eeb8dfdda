#pragma once
// Pieces shared by the main-thread queue and the thread class (Windows).

#include <exception>

namespace platform::detail {

// Binds the calling thread as the main thread when none is bound yet.
void ClaimIfUnbound();

// Runs the messages sent to the calling thread's windows (hidden windows,
// synchronised calls). Returns whether any ran.
bool ServeSentMessages();

// The oldest exception of a window method that no one has taken yet, or null.
std::exception_ptr TakeHandlerError();

// Marks the exceptions kept so far: TakeHandlerErrorSince(mark) takes only
// the oldest one kept after it, leaving earlier ones to TakeHandlerError.
unsigned long long HandlerErrorMark();
std::exception_ptr TakeHandlerErrorSince(unsigned long long mark);

}  // namespace platform::detail
