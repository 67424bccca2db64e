#pragma once

#include "store/MRegistry.h"

#include <map>
#include <string>
#include <utility>

namespace quarnel::test {

// A store held in memory, with the behaviour the interface promises: absent values below an
// existing key throw, absent keys give the default.
class MemoryRegistry : public MRegistry {
public:
    bool regkeyexists(RegRoot root, std::string_view key) override;
    bool createregkey(RegRoot root, std::string_view key) override;
    bool writeregvalue(RegRoot root, std::string_view key, std::string_view name,
                       const RegWriteValue& value) override;
    RegValue readregvalue(RegRoot root, std::string_view key, std::string_view name,
                          const RegValue& defaultValue = std::string()) override;
    bool deleteregvalue(RegRoot root, std::string_view key, std::string_view name) override;
    void inTransaction(const std::function<void()>& body) override;

    // Puts a value below a key, creating the key.
    void put(RegRoot root, std::string_view key, std::string_view name, RegValue value);

private:
    using KeyId = std::pair<RegRoot, std::string>;
    std::map<KeyId, std::map<std::string, RegValue>> keys_;
};

} // namespace quarnel::test
