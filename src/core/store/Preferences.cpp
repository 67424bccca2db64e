#include "store/Preferences.h"

#include "common/Error.h"
#include "common/Text.h"
#include "store/RegistrySettings.h"

#include <variant>

namespace quarnel {

bool launchChecksOn(Registry& registry) {
    try {
        const RegValue value = registry.readValue(RegRoot::LocalMachine, kProgramKey,
                                                  kCheckBeforeLaunchValue, std::string("1"));
        if (const auto* text = std::get_if<std::string>(&value))
            return trimRightBlanks(*text) != "0";
        if (const auto* number = std::get_if<std::int32_t>(&value))
            return *number != 0;
    } catch (const Error&) {
    }
    return true;
}

void setLaunchChecksOn(Registry& registry, bool on) {
    registry.createKey(RegRoot::LocalMachine, kProgramKey);
    if (!registry.writeValue(RegRoot::LocalMachine, kProgramKey, kCheckBeforeLaunchValue,
                             std::string(on ? "1" : "0")))
        throw Error(errc::Registry, std::string(kUnableToCreateKey));
}

} // namespace quarnel
