#include "Cli.h"
#include "app/Paths.h"

#ifdef _WIN32
#include "app/WinShellOpener.h"
using PlatformShellOpener = quarnel::WinShellOpener;
#else
#include "XdgShellOpener.h"
using PlatformShellOpener = quarnel::cli::XdgShellOpener;
#endif

#include <iostream>

int main(int argc, char** argv) {
    PlatformShellOpener opener;
    quarnel::cli::Context context{std::cout, std::cerr, opener,
                                  quarnel::app::programFolder(argc > 0 ? argv[0] : nullptr)};
    return quarnel::cli::run(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc),
                             context);
}
