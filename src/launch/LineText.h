#pragma once

#include <string>
#include <string_view>

// Small text pieces shared by the launch-file writers.
namespace quarnel::launch_detail {

// The text without CR and LF, so that a value the user typed can never split a written line.
inline std::string oneLine(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text)
        if (c != '\r' && c != '\n')
            out += c;
    return out;
}

// The server's spelling of a Boolean.
inline std::string_view trueFalse(bool value) {
    return value ? "True" : "False";
}

} // namespace quarnel::launch_detail
