#pragma once

#ifdef _WIN32

#include "app/ShellOpener.h"

namespace quarnel {

// The Windows shell's way of opening a file: its associated program, or the system's
// Open With dialog when its type has none.
class WinShellOpener : public ShellOpener {
public:
    void shellopen(const std::string& file) override;
};

} // namespace quarnel

#endif
