#pragma once

#include "Eventually.h"
#include "TempDir.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace quarnel::test {

// Ends every process a test starts: all inherit a tag in their environment, killed at the end.
class ProcessGuard {
public:
    ProcessGuard() { putenv(tag_.data()); }
    ~ProcessGuard() {
        const std::string needle = std::string(1, '\0') + tag_ + '\0';
        eventually([&] {
            bool found = false;
            std::error_code ec;
            for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
                const int pid = std::atoi(entry.path().filename().c_str());
                const std::string env = '\0' + readFile(entry.path() / "environ");
                if (pid > 0 && pid != getpid() && env.find(needle) != std::string::npos)
                    found = kill(pid, SIGKILL) == 0 || found;
            }
            while (waitpid(-1, nullptr, WNOHANG) > 0) {
            }
            return !found;
        });
        unsetenv("QUARNEL_TEST_PROCESSES");
    }
    ProcessGuard(const ProcessGuard&) = delete;
    ProcessGuard& operator=(const ProcessGuard&) = delete;

private:
    std::string tag_ = "QUARNEL_TEST_PROCESSES=" + std::to_string(getpid());
};

// The demo installation copied to dir/name, its Linux server the stand-in (or none), and its runs.
class StandInGame {
public:
    struct Run {
        bool sigintIgnored = false;
        std::string cwd, ini; // its folder, the INI file it was given
        std::vector<std::string> args;
    };

    StandInGame(const TempDir& dir, const std::string& name = "UT2003", bool linuxServer = true)
        : gameFolder((dir.path() / name / "").string()), system(gameFolder + "System/"),
          records_(dir.makeFolder(".runs-" + name)) {
        std::filesystem::copy(demoInstall(), dir.path() / name,
                              std::filesystem::copy_options::recursive);
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
    // Run n's NUL-ended fields: whether SIGINT came ignored, folder, INI bytes, arguments.
    std::optional<Run> run(int n) const {
        std::vector<std::string> fields;
        std::istringstream record(readFile(records_ / ("run" + std::to_string(n))));
        for (std::string field; std::getline(record, field, '\0');)
            fields.push_back(field);
        if (fields.size() < 3)
            return std::nullopt;
        return Run{fields[0] == "1", fields[1], fields[2], {fields.begin() + 3, fields.end()}};
    }
    int runs() const {
        for (int n = 0;; ++n)
            if (!run(n + 1))
                return n;
    }
    // The signal run n ended on; 0 when it did not end on one.
    int signalOf(int n) const {
        return std::atoi(readFile(records_ / ("run" + std::to_string(n) + ".signal")).c_str());
    }

    const std::string gameFolder; // ends in "/"
    const std::string system;     // the System folder, ending in "/"

private:
    std::filesystem::path records_;
};

} // namespace quarnel::test
