#pragma once

#ifdef _WIN32

#include "store/Registry.h"

#include <memory>
#include <string>
#include <string_view>

namespace quarnel {

// Registry over the Windows registry (advapi32). Each operation opens its key, does one
// thing and closes the key again, as the module it stands for did.
//
// Where it differs from a plain call of the registry functions:
// - A text is written with its terminator and read back without it, so it comes back
//   exactly as written; a text stored without a terminator (as an earlier install wrote
//   them) loses nothing. A multi-string keeps its NUL separators and loses its final ones.
// - A value larger than the first buffer is read again with the size the registry reports,
//   as often as it keeps growing: never a truncated value.
// - A value of a type outside the table of readable types, and a 32-bit value of fewer
//   than four bytes, is Error 1001 "Unsupported value type".
// - Below HKEY_LOCAL_MACHINE a key that the 64-bit view does not hold is read from the
//   32-bit view, where a 32-bit installer writes on 64-bit Windows.
// - The registry has no transactions: inTransaction just runs its body.
class WinRegistry final : public Registry {
public:
    // The registry itself.
    WinRegistry() = default;
    // A scratch registry: both roots lie below a fresh key of the user's registry, which is
    // removed, with everything in it, when the store is destroyed. For tests.
    static std::unique_ptr<WinRegistry> scratch();

    ~WinRegistry() override;
    WinRegistry(const WinRegistry&) = delete;
    WinRegistry& operator=(const WinRegistry&) = delete;

    bool keyExists(RegRoot root, std::string_view key) override;
    bool createKey(RegRoot root, std::string_view key) override;
    bool writeValue(RegRoot root, std::string_view key, std::string_view name,
                    const RegWriteValue& value) override;
    RegValue readValue(RegRoot root, std::string_view key, std::string_view name,
                       const RegValue& defaultValue = std::string()) override;
    bool deleteValue(RegRoot root, std::string_view key, std::string_view name) override;
    std::vector<std::string> valueNames(RegRoot root, std::string_view key) override;
    void inTransaction(const std::function<void()>& body) override { body(); }

    // Stores data under any registry type number, as an installer may leave it (a
    // multi-string, an expandable text, a 32-bit value of odd size). False when the key
    // cannot be opened or the registry refuses.
    bool writeTyped(RegRoot root, std::string_view key, std::string_view name, unsigned type,
                    std::string_view data);

    // The first run below the program's new root: when the program's key does not exist
    // there yet and the key of an earlier install below HKEY_LOCAL_MACHINE holds values, they
    // are copied over, each with its type and bytes. True when values were copied. A copy
    // that fails part-way is removed again, so the next start tries once more.
    bool adoptEarlierInstall();

    // The full path below the real root that key of root names: the key itself, or its place
    // below the scratch key.
    std::string pathOf(RegRoot root, std::string_view key) const;

private:
    // Opens key of root with access into *handle (an HKEY); false when it cannot be opened.
    bool openKey(RegRoot root, std::string_view key, unsigned long access, void* handle) const;

    std::string scratch_; // the scratch key below HKEY_CURRENT_USER; empty for the registry
};

} // namespace quarnel

#endif
