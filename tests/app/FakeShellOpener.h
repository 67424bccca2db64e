#pragma once

#include "app/ShellOpener.h"

#include <string>
#include <vector>

namespace quarnel::test {

// Records the files it was asked to start and starts nothing.
class FakeShellOpener : public ShellOpener {
public:
    void shellopen(const std::string& file) override { opened.push_back(file); }
    std::vector<std::string> opened;
};

} // namespace quarnel::test
