#pragma once
// Helpers shared by the tests: waiting for a condition while the event loop runs.

#include <chrono>
#include <functional>

namespace testsupport
{

// Runs the event loop until pred() holds or the deadline passes; returns pred().
bool waitUntil(const std::function<bool()>& pred,
               std::chrono::milliseconds deadline = std::chrono::seconds(10));

} // namespace testsupport
