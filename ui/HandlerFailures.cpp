#include "ui/HandlerFailures.h"

#include "ui/HandlerCall.h"

#include <algorithm>

void THandlerFailures::Raised(std::exception_ptr error)
{
    if (raised_) return;
    raised_ = true;
    failures_.push_back({std::move(error), {}});
}

void THandlerFailures::Notice(const std::string& text)
{
    const bool known = std::any_of(failures_.begin(), failures_.end(),
                                   [&text](const TFailure& f) { return !f.Error && f.Notice == text; });
    if (!known) failures_.push_back({nullptr, text});
}

void THandlerFailures::HandOver() const
{
    for (const TFailure& failure : failures_) {
        if (failure.Error)
            HandOverEscapedError(failure.Error);
        else
            HandOverNotice(failure.Notice);
    }
}
