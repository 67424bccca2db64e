#pragma once

#include "app/ShellOpener.h"

namespace quarnel::cli {

// Opens a file with the desktop's association through "xdg-open FILE", started in a
// session of its own with no terminal streams, and not waited for. Failures are silent.
class XdgShellOpener : public ShellOpener {
public:
    void shellopen(const std::string& file) override;
};

} // namespace quarnel::cli
