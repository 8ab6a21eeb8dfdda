#pragma once
// Waiting in tests, always for a condition and with a generous bound.

#include <chrono>
#include <functional>

inline constexpr std::chrono::milliseconds kPatience{10000};

// Serves the main queue until pred() holds; false if it never did.
bool ServeUntil(const std::function<bool()>& pred, std::chrono::milliseconds timeout = kPatience);

// Waits in Qt's loop, without serving, until the queue's descriptor reports
// a waiting delivery: what the window's socket notifier sees.
bool WaitUntilDeliveryQueued(std::chrono::milliseconds timeout = kPatience);

// Waits (without serving the queue) until pred() holds.
bool WaitWithoutServing(const std::function<bool()>& pred, std::chrono::milliseconds timeout = kPatience);
