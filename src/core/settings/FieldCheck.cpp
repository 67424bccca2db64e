#include "settings/FieldCheck.h"

#include <charconv>
#include <cmath>

namespace quarnel {

const FieldCheck* fieldCheckFor(Text field) {
    for (const auto& check : kFieldChecks)
        if (check.field == field)
            return &check;
    return nullptr;
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

bool fieldAccepts(const FieldCheck& check, std::string_view text) {
    const auto value = parsePlainNumber(text);
    if (!value)
        return false;
    const double rounded = std::nearbyint(*value); // the default rounding: half to even
    return rounded >= check.low && rounded <= check.high;
}

const FieldCheck* refusalFor(Text field, std::string_view text) {
    const FieldCheck* check = fieldCheckFor(field);
    return (check && !fieldAccepts(*check, text)) ? check : nullptr;
}

} // namespace quarnel
