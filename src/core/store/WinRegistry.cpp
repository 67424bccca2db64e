#ifdef _WIN32

#include "store/WinRegistry.h"

#include "common/Error.h"
#include "store/RegistrySettings.h"
#include "store/SystemStore.h"

#include <atomic>
#include <cstdint>
#include <type_traits>
#include <vector>
#include <windows.h>

namespace quarnel {

namespace {

// The first read tries this many bytes; a larger value is read again at its own size.
constexpr DWORD kFirstBuffer = 1024;
// A value that grows between every two reads this often is given up on.
constexpr int kMaxReads = 8;

[[noreturn]] void unsupportedType() {
    throw Error(errc::Registry, std::string(kUnsupportedValueType));
}

// Closes the key it holds.
class Key {
public:
    Key() = default;
    ~Key() {
        if (handle_)
            RegCloseKey(handle_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY* out() { return &handle_; }
    HKEY get() const { return handle_; }

private:
    HKEY handle_ = nullptr;
};

// A key path the registry can name: no empty part (a leading, trailing or doubled
// backslash) and no NUL, which would cut the path short on its way to the registry.
bool validKeyPath(std::string_view key) {
    if (key.empty() || key.front() == '\\' || key.back() == '\\' ||
        key.find('\0') != std::string_view::npos)
        return false;
    return key.find("\\\\") == std::string_view::npos;
}

bool validName(std::string_view name) {
    return name.find('\0') == std::string_view::npos;
}

std::string dwordBytes(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    std::string bytes(4, '\0');
    for (std::size_t i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>((bits >> (8 * i)) & 0xFFu);
    return bytes;
}

// Drops up to count final NULs: the terminators a text is stored with.
std::string withoutTerminators(std::vector<BYTE>& data, std::size_t count) {
    std::size_t size = data.size();
    while (count-- > 0 && size > 0 && data[size - 1] == 0)
        --size;
    return std::string(reinterpret_cast<const char*>(data.data()), size);
}

RegValue convert(DWORD type, std::vector<BYTE>& data) {
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
        return withoutTerminators(data, 1);
    case REG_MULTI_SZ:
        return withoutTerminators(data, 2);
    case REG_BINARY:
        return std::vector<std::uint8_t>(data.begin(), data.end());
    case REG_DWORD:
        if (data.size() < 4)
            unsupportedType();
        return static_cast<std::int32_t>(
            static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8 |
            static_cast<std::uint32_t>(data[2]) << 16 | static_cast<std::uint32_t>(data[3]) << 24);
    default:
        unsupportedType();
    }
}

// Reads the value name of key whole, however large it is; false when it cannot be read.
bool queryValue(HKEY key, const char* name, DWORD& type, std::vector<BYTE>& data) {
    data.assign(kFirstBuffer, 0);
    DWORD size = kFirstBuffer;
    LONG rc = RegQueryValueExA(key, name, nullptr, &type, data.data(), &size);
    for (int reads = 1; rc == ERROR_MORE_DATA && reads < kMaxReads; ++reads) {
        data.assign(size, 0);
        rc = RegQueryValueExA(key, name, nullptr, &type, data.data(), &size);
    }
    if (rc != ERROR_SUCCESS || size > data.size())
        return false;
    data.resize(size);
    return true;
}

HKEY baseOf(RegRoot root, bool scratch) {
    if (scratch || root == RegRoot::CurrentUser)
        return HKEY_CURRENT_USER;
    return HKEY_LOCAL_MACHINE;
}

bool knownRoot(RegRoot root) {
    return root == RegRoot::CurrentUser || root == RegRoot::LocalMachine;
}

bool setValue(HKEY key, std::string_view name, DWORD type, std::string_view data) {
    if (!validName(name) || data.size() > MAXDWORD)
        return false;
    return RegSetValueExA(key, std::string(name).c_str(), 0, type,
                          reinterpret_cast<const BYTE*>(data.data()),
                          static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

} // namespace

std::unique_ptr<WinRegistry> WinRegistry::scratch() {
    static std::atomic<unsigned> counter{0};
    auto registry = std::make_unique<WinRegistry>();
    registry->scratch_ = "Software\\Quarnel scratch\\" + std::to_string(GetCurrentProcessId()) +
                         "-" + std::to_string(GetTickCount64()) + "-" +
                         std::to_string(counter.fetch_add(1));
    return registry;
}

WinRegistry::~WinRegistry() {
    if (!scratch_.empty())
        RegDeleteTreeA(HKEY_CURRENT_USER, scratch_.c_str());
}

std::string WinRegistry::pathOf(RegRoot root, std::string_view key) const {
    if (scratch_.empty())
        return std::string(key);
    const char* rootName =
        root == RegRoot::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
    return scratch_ + "\\" + rootName + "\\" + std::string(key);
}

// For reading below HKEY_LOCAL_MACHINE the 32-bit view is asked when the 64-bit one does
// not hold the key.
bool WinRegistry::openKey(RegRoot root, std::string_view key, unsigned long access,
                          void* handle) const {
    if (!knownRoot(root) || !validKeyPath(key))
        return false;
    auto* opened = static_cast<HKEY*>(handle);
    const bool scratch = !scratch_.empty();
    const HKEY base = baseOf(root, scratch);
    const std::string path = pathOf(root, key);
    if (RegOpenKeyExA(base, path.c_str(), 0, access, opened) == ERROR_SUCCESS)
        return true;
    const bool reading = access == KEY_READ;
    return reading && !scratch && root == RegRoot::LocalMachine &&
           RegOpenKeyExA(base, path.c_str(), 0, access | KEY_WOW64_32KEY, opened) == ERROR_SUCCESS;
}

bool WinRegistry::keyExists(RegRoot root, std::string_view key) {
    Key opened;
    return openKey(root, key, KEY_READ, opened.out());
}

bool WinRegistry::createKey(RegRoot root, std::string_view key) {
    Key created;
    DWORD disposition = 0;
    char keyClass[] = "0";
    if (!knownRoot(root) || !validKeyPath(key) ||
        RegCreateKeyExA(baseOf(root, !scratch_.empty()), pathOf(root, key).c_str(), 0, keyClass,
                        REG_OPTION_NON_VOLATILE, 0, nullptr, created.out(),
                        &disposition) != ERROR_SUCCESS)
        throw Error(errc::Registry, std::string(kUnableToCreateKey));
    return disposition == REG_OPENED_EXISTING_KEY;
}

bool WinRegistry::writeTyped(RegRoot root, std::string_view key, std::string_view name,
                             unsigned type, std::string_view data) {
    Key opened;
    return openKey(root, key, KEY_WRITE, opened.out()) && setValue(opened.get(), name, type, data);
}

bool WinRegistry::writeValue(RegRoot root, std::string_view key, std::string_view name,
                             const RegWriteValue& value) {
    // A key that cannot be opened comes first: nothing is written, whatever the value.
    Key opened;
    if (!openKey(root, key, KEY_WRITE, opened.out()))
        return false;
    return std::visit(
        [&](const auto& data) -> bool {
            using T = std::decay_t<decltype(data)>;
            if constexpr (std::is_same_v<T, std::string>) {
                // With its terminator, so that it reads back whole.
                return setValue(opened.get(), name, REG_SZ,
                                std::string_view(data.c_str(), data.size() + 1));
            } else if constexpr (std::is_same_v<T, std::int16_t> ||
                                 std::is_same_v<T, std::int32_t>) {
                return setValue(opened.get(), name, REG_DWORD, dwordBytes(data));
            } else if constexpr (std::is_same_v<T, std::vector<std::uint8_t>>) {
                return setValue(
                    opened.get(), name, REG_BINARY,
                    std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
            } else {
                unsupportedType();
            }
        },
        value);
}

RegValue WinRegistry::readValue(RegRoot root, std::string_view key, std::string_view name,
                                const RegValue& defaultValue) {
    Key opened;
    if (!openKey(root, key, KEY_READ, opened.out()))
        return defaultValue;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    if (!validName(name) || !queryValue(opened.get(), std::string(name).c_str(), type, data))
        unsupportedType();
    return convert(type, data);
}

bool WinRegistry::deleteValue(RegRoot root, std::string_view key, std::string_view name) {
    Key opened;
    return openKey(root, key, KEY_WRITE, opened.out()) && validName(name) &&
           RegDeleteValueA(opened.get(), std::string(name).c_str()) == ERROR_SUCCESS;
}

std::vector<std::string> WinRegistry::valueNames(RegRoot root, std::string_view key) {
    std::vector<std::string> names;
    Key opened;
    if (!openKey(root, key, KEY_READ, opened.out()))
        return names;
    DWORD count = 0;
    DWORD longestName = 0;
    if (RegQueryInfoKeyA(opened.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                         &longestName, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        throw Error(errc::Registry, "Unable to enumerate the registry values");
    std::vector<char> name(longestName + 1);
    for (DWORD index = 0; index < count; ++index) {
        DWORD nameSize = static_cast<DWORD>(name.size());
        if (RegEnumValueA(opened.get(), index, name.data(), &nameSize, nullptr, nullptr, nullptr,
                          nullptr) != ERROR_SUCCESS)
            throw Error(errc::Registry, "Unable to enumerate the registry values");
        names.emplace_back(name.data(), nameSize);
    }
    return names;
}

bool WinRegistry::adoptEarlierInstall() {
    if (keyExists(kProgramRoot, kProgramKey))
        return false;
    Key source;
    if (!openKey(RegRoot::LocalMachine, kProgramKey, KEY_READ, source.out()))
        return false;
    DWORD count = 0;
    DWORD longestName = 0;
    DWORD largestData = 0;
    if (RegQueryInfoKeyA(source.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                         &longestName, &largestData, nullptr, nullptr) != ERROR_SUCCESS ||
        count == 0)
        return false;

    try {
        createKey(kProgramRoot, kProgramKey);
    } catch (const Error&) {
        return false;
    }
    Key target;
    bool copied = openKey(kProgramRoot, kProgramKey, KEY_WRITE, target.out());
    std::vector<char> name(longestName + 1);
    std::vector<BYTE> data(largestData + 1);
    for (DWORD index = 0; copied && index < count; ++index) {
        DWORD nameSize = static_cast<DWORD>(name.size());
        DWORD dataSize = static_cast<DWORD>(data.size());
        DWORD type = REG_NONE;
        copied = RegEnumValueA(source.get(), index, name.data(), &nameSize, nullptr, &type,
                               data.data(), &dataSize) == ERROR_SUCCESS &&
                 RegSetValueExA(target.get(), name.data(), 0, type, data.data(), dataSize) ==
                     ERROR_SUCCESS;
    }
    if (!copied) {
        // Half a copy would count as the first run done; without it the next start tries again.
        const HKEY base = baseOf(kProgramRoot, !scratch_.empty());
        RegDeleteTreeA(base, pathOf(kProgramRoot, kProgramKey).c_str());
        RegDeleteKeyA(base, pathOf(kProgramRoot, kProgramKey).c_str());
    }
    return copied;
}

// The store of the Windows build: the registry itself.

std::string systemStoreLocation() {
    return "HKEY_CURRENT_USER\\" + std::string(kProgramKey);
}

bool systemStoreExists() {
    return true;
}

OpenedStore openSystemStore() {
    auto registry = std::make_unique<WinRegistry>();
    registry->adoptEarlierInstall();
    OpenedStore store;
    store.registry = std::move(registry);
    store.location = systemStoreLocation();
    store.persistent = true;
    return store;
}

std::unique_ptr<Registry> makeMemoryRegistry() {
    return WinRegistry::scratch();
}

} // namespace quarnel

#endif
