#include "Cli.h"
#include "XdgShellOpener.h"

#include <iostream>

int main(int argc, char** argv) {
    quarnel::cli::XdgShellOpener opener;
    quarnel::cli::Context context{std::cout, std::cerr, opener,
                                  quarnel::cli::programFolder(argc > 0 ? argv[0] : nullptr)};
    return quarnel::cli::run(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc),
                             context);
}
