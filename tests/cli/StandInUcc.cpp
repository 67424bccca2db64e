// A stand-in for the game's server program, for the launch test on Windows: it notes its
// arguments in "ucc-ran.txt" beside itself, then ends the batch file that started it (its
// parent, cmd), so that the restart loop stops after one round.
// clang-format off
#include <windows.h>
#include <tlhelp32.h>
// clang-format on

#include <filesystem>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    std::string arguments;
    for (int i = 1; i < argc; ++i)
        arguments += (i > 1 ? " " : "") + std::string(argv[i]);
    const std::filesystem::path record = std::filesystem::path(argv[0]).parent_path() / "ucc-ran";
    std::ofstream(record.string() + ".part", std::ios::binary) << arguments;
    std::filesystem::rename(record.string() + ".part", record.string() + ".txt");
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (entry.th32ProcessID == GetCurrentProcessId())
            TerminateProcess(OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ParentProcessID), 0);
    return 0;
}
