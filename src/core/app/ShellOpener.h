#pragma once

#include <string>

namespace quarnel {

// Starts a file with the program the desktop associates with its type, as a double-click
// would; when there is none, offers a chooser. Never waits for the started program and
// reports no failure.
class ShellOpener {
public:
    virtual ~ShellOpener() = default;
    virtual void shellopen(const std::string& file) = 0;
};

} // namespace quarnel
