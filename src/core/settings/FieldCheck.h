#pragma once

#include "settings/Controls.h"

#include <array>
#include <optional>
#include <string_view>

namespace quarnel {

// The check a numeric field gets when the user leaves it: the accepted range (inclusive),
// and the message, title and text put back when the value is refused.
struct FieldCheck {
    Text field;
    int low;
    int high;
    std::string_view message;
    std::string_view title;
    std::string_view defaultText;
};

inline constexpr std::array<FieldCheck, 6> kFieldChecks = {{
    {Text::LanSpeed, 1, 25000, "Must be a number between 1 and 25000", "LAN Speed", "10000"},
    {Text::NetSpeed, 1, 25000, "Must be a number between 1 and 25000", "Net Speed", "7000"},
    {Text::LanTickRate, 1, 50, "Must be a number between 1 and 50", "LAN Tick Rate", "35"},
    {Text::NetTickRate, 1, 50, "Must be a number between 1 and 50", "Net Tick Rate", "20"},
    {Text::GamePort, 1, 65000, "Must be a number between 1 and 65000", "Game Port", "7777"},
    {Text::WebAdminPort, 1, 65000, "Must be a number between 1 and 65000", "Web Port", "80"},
}};

// The check of a field, or nullptr for a field that is not checked.
const FieldCheck* fieldCheckFor(Text field);

// Whether the check accepts text: it reads as a number and its value rounded to a whole
// number (a half to the even neighbour) lies within the range.
bool fieldAccepts(const FieldCheck& check, std::string_view text);

// The refusal for field holding text, or nullptr when the field is not checked or accepts it.
const FieldCheck* refusalFor(Text field, std::string_view text);

} // namespace quarnel
