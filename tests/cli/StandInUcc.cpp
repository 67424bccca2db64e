// A stand-in for the game's server program, for the launch test on Windows: it notes its
// arguments in "ucc-ran.txt" beside itself, then ends the batch file that started it (its
// parent, cmd), so that the restart loop stops after one round.
// clang-format off
#include <windows.h>
#include <tlhelp32.h>
// clang-format on

#include <string>

namespace {

DWORD parentProcess() {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    DWORD parent = 0;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (entry.th32ProcessID == GetCurrentProcessId())
            parent = entry.th32ParentProcessID;
    CloseHandle(snapshot);
    return parent;
}

} // namespace

int main(int argc, char** argv) {
    const std::string self = argv[0];
    std::string record = self.substr(0, self.find_last_of("\\/") + 1);
    record += "ucc-ran.txt";
    std::string arguments;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            arguments += ' ';
        arguments += argv[i];
    }
    const HANDLE parent = OpenProcess(PROCESS_TERMINATE, FALSE, parentProcess());
    const HANDLE file = CreateFileA((record + ".part").c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, arguments.data(), static_cast<DWORD>(arguments.size()), &written, nullptr);
    CloseHandle(file);
    MoveFileA((record + ".part").c_str(), record.c_str());
    if (parent) {
        TerminateProcess(parent, 0);
        CloseHandle(parent);
    }
    return 0;
}
