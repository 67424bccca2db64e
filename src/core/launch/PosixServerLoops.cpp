#include "common/Error.h"
#include "launch/ServerLoops.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace quarnel {

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr auto kPoll = 20ms;
// How long a loop started in the background may take to write its pid file.
constexpr auto kStartTimeout = 5s;
// How long a killed loop may take to be gone.
constexpr auto kKillTimeout = 2s;

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string proc(int pid, const char* entry) {
    return "/proc/" + std::to_string(pid) + "/" + entry;
}

// The process id a pid file holds: decimal digits and a line end, nothing else.
std::optional<int> pidIn(const std::string& file) {
    const std::string text = readAll(file);
    const std::size_t end = text.find_first_not_of("0123456789");
    if (end == 0 || end == std::string::npos || text.substr(end) != "\n" || end > 9)
        return std::nullopt;
    const int pid = std::atoi(text.c_str());
    return pid > 0 ? std::optional<int>(pid) : std::nullopt;
}

// Whether the process still runs. A child of ours that has ended is reaped here; a process
// that has ended but whose parent has not yet collected it counts as gone.
bool alive(int pid) {
    waitpid(pid, nullptr, WNOHANG);
    if (kill(pid, 0) != 0 && errno == ESRCH)
        return false;
    const std::string stat = readAll(proc(pid, "stat"));
    const std::size_t name = stat.rfind(')');
    if (name == std::string::npos || name + 2 >= stat.size())
        return !stat.empty() || !fs::exists("/proc/self");
    const char state = stat[name + 2];
    return state != 'Z' && state != 'X';
}

// Whether the process runs the loop of files: one of its arguments names the script, and
// its working folder is the System folder, where the script goes before it writes its pid.
bool runsLoop(int pid, const LoopFiles& files) {
    const std::string cmdline = readAll(proc(pid, "cmdline"));
    std::vector<std::string> args;
    for (std::size_t start = 0; start < cmdline.size();) {
        const std::size_t end = cmdline.find('\0', start);
        args.push_back(cmdline.substr(start, end - start));
        start = end == std::string::npos ? cmdline.size() : end + 1;
    }
    bool named = false;
    for (std::size_t i = 1; i < args.size() && !named; ++i)
        named = fs::path(args[i]).filename() == files.scriptName();
    std::error_code ec;
    return named && fs::equivalent(fs::read_symlink(proc(pid, "cwd"), ec), files.system, ec) && !ec;
}

// Removes the pid file when it still names pid.
void removePidFile(const LoopFiles& files, int pid) {
    if (pidIn(files.pidFile()) == pid) {
        std::error_code ec;
        fs::remove(files.pidFile(), ec);
    }
}

bool waitUntilGone(int pid, std::chrono::milliseconds timeout) {
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (alive(pid)) {
        if (std::chrono::steady_clock::now() >= until)
            return false;
        std::this_thread::sleep_for(kPoll);
    }
    return true;
}

// A process started with posix_spawn in a session of its own, its signals as a new program
// expects them, standard input from /dev/null and its output into output (or /dev/null).
int spawnDetached(const std::vector<std::string>& command, const std::string& output) {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (output.empty())
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    else
        posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                         0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);

    // The loop traps these; one this program ignores or blocks must not stay so for it.
    sigset_t defaults;
    sigemptyset(&defaults);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGPIPE, SIGCHLD})
        sigaddset(&defaults, signal);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    std::vector<std::string> words = command;
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0)
        throw Error(errc::FileIO, "Cannot start " + command.front() + ": " + std::strerror(failed));
    return pid;
}

class PosixServerLoops : public ServerLoops {
public:
    std::optional<int> running(const LoopFiles& files) override {
        std::error_code ec;
        if (!fs::exists(files.pidFile(), ec))
            return std::nullopt;
        const std::optional<int> pid = pidIn(files.pidFile());
        if (pid && alive(*pid) && runsLoop(*pid, files))
            return pid;
        fs::remove(files.pidFile(), ec);
        return std::nullopt;
    }

    int start(const LoopFiles& files, Output output) override {
        const std::string terminal = output == Output::TerminalIfAny ? findTerminal() : "";
        if (!terminal.empty()) {
            spawnDetached({terminal, "-e", "/bin/sh", files.script()}, {});
            return 0;
        }
        const int pid = spawnDetached({"/bin/sh", files.script()}, files.outFile());
        const auto until = std::chrono::steady_clock::now() + kStartTimeout;
        while (pidIn(files.pidFile()) != pid) {
            if (!alive(pid) || std::chrono::steady_clock::now() >= until)
                throw Error(errc::FileIO, files.scriptName() + " ended at once; its output is in " +
                                              files.outFile());
            std::this_thread::sleep_for(kPoll);
        }
        return pid;
    }

    std::optional<int> stop(const LoopFiles& files, std::chrono::milliseconds timeout) override {
        const std::optional<int> pid = running(files);
        if (!pid)
            return std::nullopt;
        kill(*pid, SIGTERM);
        if (!waitUntilGone(*pid, timeout)) {
            // The loop started in a session of its own leads its process group, which holds
            // the server as well.
            kill(getpgid(*pid) == *pid ? -*pid : *pid, SIGKILL);
            waitUntilGone(*pid, kKillTimeout);
            removePidFile(files, *pid);
        }
        return pid;
    }

    std::string findOnPath(std::string_view program) override {
        const auto runnable = [](const fs::path& file) {
            std::error_code ec;
            return fs::is_regular_file(file, ec) && access(file.c_str(), X_OK) == 0;
        };
        if (program.empty())
            return {};
        if (program.find('/') != std::string_view::npos)
            return runnable(program) ? std::string(program) : std::string();
        const char* variable = std::getenv("PATH");
        const std::string path = variable != nullptr ? variable : "/usr/local/bin:/usr/bin:/bin";
        for (std::size_t start = 0; start <= path.size();) {
            std::size_t end = path.find(':', start);
            if (end == std::string::npos)
                end = path.size();
            const std::string folder = path.substr(start, end - start);
            const fs::path candidate = fs::path(folder.empty() ? "." : folder) / program;
            if (runnable(candidate))
                return candidate.string();
            start = end + 1;
        }
        return {};
    }

private:
    std::string findTerminal() {
        if (const char* terminal = std::getenv("TERMINAL"); terminal != nullptr && *terminal)
            if (std::string found = findOnPath(terminal); !found.empty())
                return found;
        return findOnPath("x-terminal-emulator");
    }
};

} // namespace

std::unique_ptr<ServerLoops> makePosixServerLoops() {
    return std::make_unique<PosixServerLoops>();
}

void runLoopInForeground(const LoopFiles& files) {
    // A program a script starts in the background begins with SIGINT ignored, and sh cannot
    // trap a signal it starts with ignored: the loop would let Ctrl+C stop the server and
    // then start it again. It gets SIGINT and SIGTERM back; an ignored SIGHUP (nohup) stays.
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    sigset_t stops;
    sigemptyset(&stops);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&stops, signal);
    sigprocmask(SIG_UNBLOCK, &stops, nullptr);
    const std::string script = files.script();
    execl("/bin/sh", "/bin/sh", script.c_str(), static_cast<char*>(nullptr));
    throw Error(errc::FileIO, "Cannot run " + script + ": " + std::strerror(errno));
}

} // namespace quarnel
