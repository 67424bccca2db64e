#pragma once

#include <array>

namespace quarnel {

// The window's four commands, in the order of their buttons.
enum class Command { LaunchServer, LoadConfig, SaveConfig, MakeBatIni };

inline constexpr std::array<Command, 4> kCommands = {Command::LaunchServer, Command::LoadConfig,
                                                     Command::SaveConfig, Command::MakeBatIni};

} // namespace quarnel
