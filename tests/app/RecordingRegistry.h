#pragma once

#include "common/Error.h"
#include "store/MRegistry.h"

#include <map>
#include <set>
#include <string>
#include <utility>

namespace quarnel::test {

// A store held in memory that records what was read, answering as the registry does: an absent
// value below an existing key is error 1001, a missing key gives the default. With failing set,
// every operation throws, as a store that cannot be opened would.
class RecordingRegistry : public MRegistry {
public:
    using Key = std::pair<RegRoot, std::string>;

    bool regkeyexists(RegRoot root, std::string_view key) override {
        fail();
        return keys.count({root, std::string(key)}) != 0;
    }
    bool createregkey(RegRoot root, std::string_view key) override {
        fail();
        keys[{root, std::string(key)}];
        return false;
    }
    bool writeregvalue(RegRoot root, std::string_view key, std::string_view name,
                       const RegWriteValue& value) override {
        fail();
        auto found = keys.find({root, std::string(key)});
        if (found == keys.end())
            return false;
        RegValue stored;
        if (const auto* text = std::get_if<std::string>(&value))
            stored = *text;
        else if (const auto* small = std::get_if<std::int16_t>(&value))
            stored = std::int32_t{*small};
        else if (const auto* big = std::get_if<std::int32_t>(&value))
            stored = *big;
        else if (const auto* bytes = std::get_if<std::vector<std::uint8_t>>(&value))
            stored = *bytes;
        else
            throw Error(errc::Registry, std::string(kUnsupportedValueType));
        found->second[std::string(name)] = stored;
        return true;
    }
    RegValue readregvalue(RegRoot root, std::string_view key, std::string_view name,
                          const RegValue& defaultValue) override {
        fail();
        reads.insert(std::string(key) + "|" + std::string(name));
        auto found = keys.find({root, std::string(key)});
        if (found == keys.end())
            return defaultValue;
        auto value = found->second.find(std::string(name));
        if (value == found->second.end())
            throw Error(errc::Registry, std::string(kUnsupportedValueType));
        return value->second;
    }
    bool deleteregvalue(RegRoot root, std::string_view key, std::string_view name) override {
        fail();
        auto found = keys.find({root, std::string(key)});
        return found != keys.end() && found->second.erase(std::string(name)) != 0;
    }
    void inTransaction(const std::function<void()>& body) override {
        fail();
        const auto before = keys;
        try {
            body();
        } catch (...) {
            keys = before;
            throw;
        }
    }

    // Test helpers.
    void put(RegRoot root, std::string_view key, std::string_view name, RegValue value) {
        keys[{root, std::string(key)}][std::string(name)] = std::move(value);
    }
    std::string text(std::string_view key, std::string_view name) const {
        const auto& values = keys.at({RegRoot::LocalMachine, std::string(key)});
        return std::get<std::string>(values.at(std::string(name)));
    }

    std::map<Key, std::map<std::string, RegValue>> keys;
    std::set<std::string> reads; // "key|name" of every value asked for
    bool failing = false;

private:
    void fail() const {
        if (failing)
            throw Error(errc::Registry, "The store cannot be opened");
    }
};

} // namespace quarnel::test
