#include "MemoryRegistry.h"

#include "common/Error.h"

namespace quarnel::test {

bool MemoryRegistry::regkeyexists(RegRoot root, std::string_view key) {
    return keys_.count({root, std::string(key)}) != 0;
}

bool MemoryRegistry::createregkey(RegRoot root, std::string_view key) {
    return !keys_.try_emplace({root, std::string(key)}).second;
}

bool MemoryRegistry::writeregvalue(RegRoot root, std::string_view key, std::string_view name,
                                   const RegWriteValue& value) {
    const auto it = keys_.find({root, std::string(key)});
    if (it == keys_.end())
        return false;
    RegValue stored;
    if (const auto* text = std::get_if<std::string>(&value))
        stored = *text;
    else if (const auto* small = std::get_if<std::int16_t>(&value))
        stored = std::int32_t{*small};
    else if (const auto* number = std::get_if<std::int32_t>(&value))
        stored = *number;
    else if (const auto* bytes = std::get_if<std::vector<std::uint8_t>>(&value))
        stored = *bytes;
    else
        throw Error(errc::Registry, "Unsupported value type");
    it->second[std::string(name)] = std::move(stored);
    return true;
}

RegValue MemoryRegistry::readregvalue(RegRoot root, std::string_view key, std::string_view name,
                                      const RegValue& defaultValue) {
    const auto it = keys_.find({root, std::string(key)});
    if (it == keys_.end())
        return defaultValue;
    const auto value = it->second.find(std::string(name));
    if (value == it->second.end())
        throw Error(errc::Registry, "Unsupported value type");
    return value->second;
}

bool MemoryRegistry::deleteregvalue(RegRoot root, std::string_view key, std::string_view name) {
    const auto it = keys_.find({root, std::string(key)});
    return it != keys_.end() && it->second.erase(std::string(name)) != 0;
}

void MemoryRegistry::inTransaction(const std::function<void()>& body) {
    const auto saved = keys_;
    try {
        body();
    } catch (...) {
        keys_ = saved;
        throw;
    }
}

void MemoryRegistry::put(RegRoot root, std::string_view key, std::string_view name,
                         RegValue value) {
    keys_[{root, std::string(key)}][std::string(name)] = std::move(value);
}

} // namespace quarnel::test
