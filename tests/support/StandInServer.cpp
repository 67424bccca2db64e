// A stand-in for the game's server program, for tests that run the restart loop for real.
//
// Each run appends a record to the folder named by QUARNEL_STANDIN_DIR: the file "runN"
// (N = 1, 2, ...) holds its process id, its process group, its working folder and each
// argument, one per line as "pid P", "pgid G", "intign 1" (SIGINT came ignored, else 0),
// "cwd HEX", "arg HEX" (HEX: the bytes in
// hexadecimal, so that any byte survives), and after an "INI=" argument the bytes of that
// file as "ini HEX". It writes "stand-in log of run N" into the log
// file named by its "-log=" argument, in its working folder. Then it does what line N of the
// file "plan" in that folder says: a number exits with that code; "wait", or no line, waits
// until SIGTERM, SIGINT or SIGHUP comes, writes its number to "runN.signal" and exits 0.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t received = 0;

void onSignal(int signal) {
    received = signal;
}

std::string hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (const unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

bool exists(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

} // namespace

int main(int argc, char** argv) {
    const char* folder = std::getenv("QUARNEL_STANDIN_DIR");
    if (folder == nullptr)
        return 99;
    const std::string dir = std::string(folder) + "/";

    // Whether SIGINT came ignored, as sh leaves it for a command started in the background.
    struct sigaction given = {};
    sigaction(SIGINT, nullptr, &given);
    const bool sigintIgnored = given.sa_handler == SIG_IGN;

    // Signals are caught before the record exists, so a test that sees the record may stop it.
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);

    int run = 1;
    while (exists(dir + "run" + std::to_string(run)))
        ++run;
    const std::string name = dir + "run" + std::to_string(run);

    char cwd[4096] = {};
    if (getcwd(cwd, sizeof cwd) == nullptr)
        return 98;
    std::string record = "pid " + std::to_string(getpid()) + "\npgid " + std::to_string(getpgrp()) +
                         "\nintign " + (sigintIgnored ? "1" : "0") + "\ncwd " + hex(cwd) + "\n";
    std::string log;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        record += "arg " + hex(arg) + "\n";
        if (arg.rfind("-log=", 0) == 0)
            log = arg.substr(5);
        if (arg.rfind("INI=", 0) == 0) {
            std::ifstream ini(arg.substr(4), std::ios::binary);
            record += "ini " + hex(std::string(std::istreambuf_iterator<char>(ini), {})) + "\n";
        }
    }
    if (!log.empty())
        std::ofstream(log, std::ios::binary) << "stand-in log of run " << run << "\n";
    // Written under another name and renamed, so a reader never sees half a record.
    std::ofstream(name + ".new", std::ios::binary) << record;
    std::rename((name + ".new").c_str(), name.c_str());

    std::ifstream plan(dir + "plan");
    std::string step;
    for (int line = 1; line <= run && std::getline(plan, step); ++line) {
    }
    if (!plan || step == "wait") {
        sigset_t blocked;
        sigset_t waiting;
        sigemptyset(&blocked);
        for (const int signal : {SIGTERM, SIGINT, SIGHUP})
            sigaddset(&blocked, signal);
        sigprocmask(SIG_BLOCK, &blocked, &waiting);
        while (received == 0)
            sigsuspend(&waiting);
        std::ofstream(name + ".signal") << received << "\n";
        return 0;
    }
    return std::atoi(step.c_str());
}
