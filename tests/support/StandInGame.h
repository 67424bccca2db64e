#pragma once

#include "TempDir.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace quarnel::test {

// Ends every process a test starts, whatever happens: the environment carries a tag that
// every process started from the test inherits, and at the end each process that carries
// it is killed, again until none is left (a loop may start its server meanwhile).
class ProcessGuard {
public:
    ProcessGuard() : value_(std::to_string(getpid()) + "-" + std::to_string(counter()++)) {
        setenv(kName, value_.c_str(), 1);
    }
    ~ProcessGuard() {
        const std::string tag = std::string(kName) + "=" + value_;
        for (int round = 0; round < 100; ++round) {
            bool found = false;
            std::error_code ec;
            for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
                const std::string name = entry.path().filename().string();
                if (name.find_first_not_of("0123456789") != std::string::npos)
                    continue;
                const int pid = std::atoi(name.c_str());
                if (pid != getpid() && carries(entry.path() / "environ", tag)) {
                    kill(pid, SIGKILL);
                    found = true;
                }
            }
            while (waitpid(-1, nullptr, WNOHANG) > 0) {
            }
            if (!found)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        unsetenv(kName);
    }
    ProcessGuard(const ProcessGuard&) = delete;
    ProcessGuard& operator=(const ProcessGuard&) = delete;

private:
    static constexpr const char* kName = "QUARNEL_TEST_PROCESSES";
    static int& counter() {
        static int next = 0;
        return next;
    }
    static bool carries(const std::filesystem::path& environ, const std::string& tag) {
        std::ifstream in(environ, std::ios::binary);
        const std::string all((std::istreambuf_iterator<char>(in)), {});
        return ("\0" + all + '\0').find(std::string(1, '\0') + tag + '\0') != std::string::npos;
    }
    std::string value_;
};

// Waits up to timeout for done() to hold.
inline bool eventually(const std::function<bool()>& done,
                       std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// A copy of the demo installation in dir/name whose System folder holds the stand-in server
// (tests/support/StandInServer.cpp) as ucc-bin, with the folder it keeps its records in.
class StandInGame {
public:
    // One run of the stand-in as it recorded itself.
    struct Run {
        int pid = 0;
        int pgid = 0;
        bool sigintIgnored = false;
        std::string cwd;
        std::vector<std::string> args;
        std::string ini; // the INI file it was given
    };

    StandInGame(const TempDir& dir, const std::string& name = "UT2003", bool linuxServer = true)
        : utpath((dir.path() / name / "").string()), system(utpath + "System/"),
          records_(dir.makeFolder(".standin-" + std::to_string(instances()++))) {
        std::filesystem::copy(demoInstall(), dir.path() / name,
                              std::filesystem::copy_options::recursive);
        // The demo's own Linux server gives way to the stand-in, or to none at all.
        std::filesystem::remove(system + "ucc-bin");
        if (linuxServer)
            std::filesystem::copy_file(QUARNEL_STANDIN, system + "ucc-bin");
        setenv("QUARNEL_STANDIN_DIR", records_.c_str(), 1);
    }

    // What run n (from 1) does: an exit code, or "wait" for a signal.
    void plan(const std::vector<std::string>& steps) const {
        std::ofstream out(records_ / "plan");
        for (const auto& step : steps)
            out << step << "\n";
    }

    std::optional<Run> run(int n) const {
        std::ifstream in(records_ / ("run" + std::to_string(n)), std::ios::binary);
        if (!in)
            return std::nullopt;
        Run run;
        std::string key;
        std::string value;
        while (in >> key) {
            if (key == "pid")
                in >> run.pid;
            else if (key == "pgid")
                in >> run.pgid;
            else if (key == "intign")
                in >> run.sigintIgnored;
            else if (in >> value; key == "cwd")
                run.cwd = unhex(value);
            else if (key == "arg")
                run.args.push_back(unhex(value));
            else if (key == "ini")
                run.ini = unhex(value);
        }
        return run;
    }
    int runs() const {
        int n = 0;
        while (run(n + 1))
            ++n;
        return n;
    }
    // The signal run n ended on; 0 when it did not end on one.
    int signalOf(int n) const {
        std::ifstream in(records_ / ("run" + std::to_string(n) + ".signal"));
        int signal = 0;
        in >> signal;
        return signal;
    }

    const std::string utpath; // ends in "/"
    const std::string system; // the System folder, ending in "/"

private:
    static int& instances() {
        static int next = 0;
        return next;
    }
    static std::string unhex(const std::string& hex) {
        std::string bytes;
        for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
            bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
        return bytes;
    }
    std::filesystem::path records_;
};

} // namespace quarnel::test
