#pragma once

#include "launch/RestartScript.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quarnel {

// The operating system's side of the restart loop: finding a running loop by its pid file,
// starting one detached, stopping one. The window and the companion use it through this
// interface; tests of the commands record what they were asked.
class ServerLoops {
public:
    // Where a started loop shows its output.
    enum class Output {
        TerminalIfAny, // a terminal window of the desktop, else as Background
        Background,    // appended to the loop's .out file
    };

    virtual ~ServerLoops() = default;

    // The process id in files.pidFile() when that process runs the loop's script (a process
    // whose arguments name files.scriptName() and whose folder is the System folder). A pid
    // file that names no such process is stale: it is removed and nothing is signalled.
    virtual std::optional<int> running(const LoopFiles& files) = 0;

    // Starts files.script() in a session of its own, so that it outlives this program: in a
    // terminal window ($TERMINAL, else x-terminal-emulator) when asked for one and the
    // desktop has one, otherwise in the background with its output appended to
    // files.outFile(). Returns the loop's process id once its pid file names it; 0 when it
    // runs in a terminal, whose pid file comes later. Throws Error when it does not start.
    virtual int start(const LoopFiles& files, Output output) = 0;

    // Sends SIGTERM to the running loop (which passes it to the server and ends), waits up to
    // timeout for it to end, and then kills it and its process group. Returns the process
    // id it stopped; none when no loop ran.
    virtual std::optional<int> stop(const LoopFiles& files, std::chrono::milliseconds timeout) = 0;

    // The full path of program, looked up on the PATH as the shell would; empty when there is
    // none.
    virtual std::string findOnPath(std::string_view program) = 0;
};

#ifndef _WIN32
// The loops of this machine, through POSIX processes and Linux's /proc.
std::unique_ptr<ServerLoops> makePosixServerLoops();

// Runs files.script() in this process in place of the program, so that the caller's
// terminal, service manager or container sees the loop itself. Returns only by throwing
// Error.
[[noreturn]] void runLoopInForeground(const LoopFiles& files);
#endif

} // namespace quarnel
