#pragma once

#include <stdexcept>
#include <string>

namespace quarnel {

// The one error type of the core: a number and a message, as the commands report them.
// Thrown where an operation cannot go on; caught where a command ends.
class Error : public std::runtime_error {
public:
    Error(int number, const std::string& message) : std::runtime_error(message), number_(number) {}
    int number() const noexcept { return number_; }

private:
    int number_;
};

// Numbers in use. 1001 is the store's own number; the others follow the run-time errors
// that a failed conversion, a bad property value or a failed file operation give.
namespace errc {
inline constexpr int TypeMismatch = 13;     // a text that is not a number
inline constexpr int Overflow = 6;          // a number beyond 16 bits
inline constexpr int SubscriptRange = 9;    // a position beyond the lines read
inline constexpr int FileNotFound = 53;     // a file that cannot be opened for reading
inline constexpr int PathNotFound = 76;     // a folder that does not exist
inline constexpr int FileIO = 75;           // a file that cannot be created or written
inline constexpr int InvalidProperty = 380; // a value a control does not accept
inline constexpr int Registry = 1001;       // the store: bad value type, key not created
} // namespace errc

} // namespace quarnel
