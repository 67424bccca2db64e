// A stand-in for the game's server program, run by the tests of the restart loop. Run N
// records in $QUARNEL_STANDIN_DIR/runN, each field NUL-ended: "1" if SIGINT came ignored
// (else "0"), its working folder, the bytes of the file its "INI=" argument names, its
// arguments. It writes "stand-in log of run N" to its "-log=" file, then does what line N of
// "plan" there says: a number exits with it; "wait", or no line, waits for SIGTERM, SIGINT
// or SIGHUP, writes the signal's number to runN.signal and exits 0.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

static volatile std::sig_atomic_t received = 0;

int main(int argc, char** argv) {
    const std::string dir = std::string(std::getenv("QUARNEL_STANDIN_DIR")) + "/";
    struct sigaction given = {};
    sigaction(SIGINT, nullptr, &given);
    // Held until the wait below, so that a signal that comes early is not lost.
    sigset_t stops, waiting;
    sigemptyset(&stops);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        sigaddset(&stops, signal);
        std::signal(signal, [](int s) { received = s; });
    }
    sigprocmask(SIG_BLOCK, &stops, &waiting);

    int run = 1;
    while (access((dir + "run" + std::to_string(run)).c_str(), F_OK) == 0)
        ++run;
    const std::string name = dir + "run" + std::to_string(run);
    std::string ini, log, args;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        args += arg + '\0';
        if (arg.starts_with("INI="))
            ini = arg.substr(4);
        if (arg.starts_with("-log="))
            log = arg.substr(5);
    }
    std::ifstream iniFile(ini, std::ios::binary);
    const std::string record = std::string(given.sa_handler == SIG_IGN ? "1" : "0") + '\0' +
                               std::filesystem::current_path().string() + '\0' +
                               std::string(std::istreambuf_iterator<char>(iniFile), {}) + '\0' +
                               args;
    if (!log.empty())
        std::ofstream(log) << "stand-in log of run " << run << "\n";
    // Renamed into place, so that a reader never sees half a record.
    std::ofstream(name + ".new", std::ios::binary) << record;
    std::rename((name + ".new").c_str(), name.c_str());

    std::ifstream plan(dir + "plan");
    std::string step;
    for (int line = 0; line < run && std::getline(plan, step); ++line) {
    }
    if (plan && step != "wait")
        return std::atoi(step.c_str());
    while (received == 0)
        sigsuspend(&waiting);
    std::ofstream(name + ".signal") << received << "\n";
    return 0;
}
