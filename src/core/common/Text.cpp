#include "common/Text.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace quarnel {

namespace {

char lowerByte(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

std::string withoutBlanks(std::string_view source) {
    std::string out;
    out.reserve(source.size());
    std::copy_if(source.begin(), source.end(), std::back_inserter(out),
                 [](char c) { return c != ' '; });
    return out;
}

std::string replaceAll(std::string_view text, std::string_view what, std::string_view with) {
    if (what.empty())
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    for (std::size_t hit; (hit = text.find(what, pos)) != std::string_view::npos;
         pos = hit + what.size()) {
        out.append(text.substr(pos, hit - pos));
        out.append(with);
    }
    out.append(text.substr(pos));
    return out;
}

std::string replaceAllNoCase(std::string_view text, std::string_view what, std::string_view with) {
    if (what.empty())
        return std::string(text);
    const std::string lowerText = lowerAscii(text);
    const std::string lowerWhat = lowerAscii(what);
    std::string out;
    std::size_t pos = 0;
    for (std::size_t hit; (hit = lowerText.find(lowerWhat, pos)) != std::string::npos;
         pos = hit + what.size()) {
        out.append(text.substr(pos, hit - pos));
        out.append(with);
    }
    out.append(text.substr(pos));
    return out;
}

std::string lowerAscii(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), lowerByte);
    return out;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return lowerByte(x) == lowerByte(y);
           });
}

std::string oneLine(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::copy_if(text.begin(), text.end(), std::back_inserter(out),
                 [](char c) { return c != '\r' && c != '\n'; });
    return out;
}

std::string trimRightBlanks(std::string_view text) {
    const auto end = text.find_last_not_of(' ');
    return std::string(end == std::string_view::npos ? std::string_view{}
                                                     : text.substr(0, end + 1));
}

std::optional<double> parsePlainNumber(std::string_view text) {
    const auto isBlank = [](char c) {
        return c == ' ' || c == '\t';
    };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // Digits with at most one point, and at least one digit.
    bool point = false;
    bool digit = false;
    for (char c : text) {
        if (c >= '0' && c <= '9')
            digit = true;
        else if (c == '.' && !point)
            point = true;
        else
            return std::nullopt;
    }
    if (!digit)
        return std::nullopt;
    double value = 0;
    const auto [end, ec] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (end != text.data() + text.size() && ec == std::errc())
        return std::nullopt;
    if (ec == std::errc::result_out_of_range)
        value = HUGE_VAL;
    else if (ec != std::errc())
        return std::nullopt;
    return negative ? -value : value;
}

} // namespace quarnel
