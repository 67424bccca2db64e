#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace quarnel::test {

// Waits up to timeout for done() to hold.
inline bool eventually(const std::function<bool()>& done,
                       std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (!done() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return done();
}

} // namespace quarnel::test
