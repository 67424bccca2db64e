#pragma once

#include "app/WindowHost.h"

#include <string>

namespace quarnel::test {

// The window's side of the shell: remembers the title and whether it was closed.
class FakeWindowHost : public WindowHost {
public:
    void dress() override { ++dressed; }
    void setTitle(const std::string& t) override { title = t; }
    void close() override { ++closed; }

    int dressed = 0;
    int closed = 0;
    std::string title;
};

} // namespace quarnel::test
