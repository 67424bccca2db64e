#pragma once

#include <string>
#include <string_view>

// Small text pieces shared by the launch-file writers.
namespace quarnel::launch_detail {

// The server's spelling of a Boolean.
inline std::string_view trueFalse(bool value) {
    return value ? "True" : "False";
}

} // namespace quarnel::launch_detail
