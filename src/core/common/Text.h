#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quarnel {

// Returns source with every blank (code 32) removed; tabs and other white space stay.
std::string withoutBlanks(std::string_view source);

// Every occurrence of what replaced by with, left to right, exact and case-sensitive.
std::string replaceAll(std::string_view text, std::string_view what, std::string_view with);

// Every occurrence of what replaced by with, letters compared without regard to case.
std::string replaceAllNoCase(std::string_view text, std::string_view what, std::string_view with);

inline std::string removeAll(std::string_view text, std::string_view what) {
    return replaceAll(text, what, {});
}

// ASCII lower case; bytes above 127 stay as they are.
std::string lowerAscii(std::string_view text);
bool equalsNoCase(std::string_view a, std::string_view b);

// The text without CR and LF, so that a value the user typed can never split a written line.
std::string oneLine(std::string_view text);

// Removes trailing blanks (code 32) only.
std::string trimRightBlanks(std::string_view text);

// Reads a plain whole or decimal number with an optional sign and surrounding blanks or
// tabs ("7000", " +12.5 ", "-.5"), independent of the locale. Anything else, the empty text
// included, is not a number.
std::optional<double> parsePlainNumber(std::string_view text);

} // namespace quarnel
