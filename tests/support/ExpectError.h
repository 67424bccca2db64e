#pragma once

#include "common/Error.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace quarnel::test {

// Expects what to throw an Error numbered number; returns its message (empty if none thrown).
inline std::string expectError(int number, const std::function<void()>& what) {
    try {
        what();
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), number) << e.what();
        return e.what();
    }
    ADD_FAILURE() << "no error raised, expected error " << number;
    return {};
}

} // namespace quarnel::test
