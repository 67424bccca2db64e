#pragma once

#include <string>

namespace quarnel {

// What the shell asks of the main window itself, beyond the settings that SettingsForm holds.
class WindowHost {
public:
    virtual ~WindowHost() = default;
    // Hides the frames of the second options tab so that the window opens on the first, and
    // puts the logo into both logo pictures and the program's icon into the window.
    virtual void dress() = 0;
    virtual void setTitle(const std::string& title) = 0;
    // Closes the main window. The shell has already saved the settings; a close that the
    // window reports back through onClose saves nothing twice.
    virtual void close() = 0;
};

} // namespace quarnel
