#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// The store of keys holding named, typed values that remembers the program's settings:
// five self-contained operations, each opening and closing its own key.
namespace quarnel {

// Predefined roots, by their Windows handle values.
enum class RegRoot : std::uint32_t {
    CurrentUser = 0x80000001u,
    LocalMachine = 0x80000002u,
};

// The value types a store keeps, by their Windows numbers. The five operations write only
// Sz, Dword and Binary; the others can be found in a store that something else filled.
namespace regtype {
inline constexpr int None = 0;
inline constexpr int Sz = 1;
inline constexpr int ExpandSz = 2;
inline constexpr int Binary = 3;
inline constexpr int Dword = 4;
inline constexpr int MultiSz = 7;
} // namespace regtype

// A value as stored and read back: a text (a multi-string reads as one text with NUL
// separators), a 32-bit integer, or bytes.
using RegValue = std::variant<std::string, std::int32_t, std::vector<std::uint8_t>>;

// A value handed to writeValue. Integers of 16 and 32 bits are stored as 32-bit
// integers; the other kinds (Boolean, floating point) are refused with error 1001.
using RegWriteValue =
    std::variant<std::string, std::int16_t, std::int32_t, std::vector<std::uint8_t>, bool, double>;

// The messages of error 1001.
inline constexpr std::string_view kUnableToCreateKey = "Unable to create the registry key";
inline constexpr std::string_view kUnsupportedValueType = "Unsupported value type";

class Registry {
public:
    virtual ~Registry() = default;

    // Whether the key can be opened for reading.
    virtual bool keyExists(RegRoot root, std::string_view key) = 0;
    // Creates the key (or opens the existing one); true when it existed before.
    // Throws Error 1001 "Unable to create the registry key".
    virtual bool createKey(RegRoot root, std::string_view key) = 0;
    // Stores the value below an existing key; false when the key cannot be opened or the
    // store refuses. Throws Error 1001 "Unsupported value type" for a Boolean or a number
    // with a fraction.
    virtual bool writeValue(RegRoot root, std::string_view key, std::string_view name,
                            const RegWriteValue& value) = 0;
    // The value read; the default when the key cannot be opened. Throws Error 1001
    // "Unsupported value type" for an absent value below an existing key.
    virtual RegValue readValue(RegRoot root, std::string_view key, std::string_view name,
                               const RegValue& defaultValue = std::string()) = 0;
    // Deletes the value; false when the key or the value does not exist or the store refuses.
    virtual bool deleteValue(RegRoot root, std::string_view key, std::string_view name) = 0;
    // The names of the values below the key, in no particular order; none when the key
    // cannot be opened. Throws Error 1001 when the store cannot say.
    virtual std::vector<std::string> valueNames(RegRoot root, std::string_view key) = 0;

    // Whether the store can only be read: every write then fails. A store that cannot tell
    // in advance says false.
    virtual bool readOnly() const { return false; }

    // Runs body as one transaction: every operation in it takes effect together, or none
    // does when body throws (the exception is passed on) or the commit fails (Error thrown).
    // A call inside another one joins the outer transaction.
    virtual void inTransaction(const std::function<void()>& body) = 0;

    // Runs body with one consistent view of the store, so that reads in it never see half
    // of another process's transaction. Stores without such a notion just run body.
    virtual void inSnapshot(const std::function<void()>& body) { body(); }
};

} // namespace quarnel
