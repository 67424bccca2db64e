#pragma once

#include "check/Machine.h"

#include <string>
#include <string_view>
#include <vector>

namespace quarnel {

// A port of a server and what it is to that server.
struct GroupPort {
    int port;
    PortProtocol protocol;
    std::string_view role; // "game port", "game port + 1", "game port + 10", "web admin port"
};

// The ports a server takes: the game port P, P+1 and P+10 (UDP), and the web admin port
// (TCP) when web admin is on (webPort 0: off).
std::vector<GroupPort> portGroup(int gamePort, int webPort);

// A restart loop that Quarnel started on this machine and that still runs: the base name of
// its files, the process id its pid file holds, and the ports its server INI gives it.
struct RunningLoop {
    std::string name;
    long pid;
    std::vector<GroupPort> ports;
};

// The loops whose pid file NAME.pid lies in systemFolder (a folder ending in a separator)
// and names a process that runs. Their ports come from NAME.ini beside it: "Port=" of the
// [URL] section (7777 without one) and, when [UWeb.WebServer] has "bEnabled=True", its
// "ListenPort=" (80 without one). A loop without its INI file is passed over. Nothing is
// written.
std::vector<RunningLoop> runningLoops(const std::string& systemFolder, Machine& machine);

} // namespace quarnel
