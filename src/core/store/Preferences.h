#pragma once

#include "store/Registry.h"

#include <string_view>

// Choices the window remembers besides the settings: values of the program's key that no
// settings set (.cfg file) carries.
namespace quarnel {

// "1" or "0": whether Launch Server and Make .BAT/.INI check the settings first.
inline constexpr std::string_view kCheckBeforeLaunchValue = "CheckBeforeLaunch";

// Whether the checks run before a launch: on unless the store says "0". A store that
// cannot be read counts as saying nothing.
bool launchChecksOn(Registry& registry);

// Remembers the choice at once, creating the program's key when it is missing. Throws Error
// when the store refuses it.
void setLaunchChecksOn(Registry& registry, bool on);

} // namespace quarnel
