#pragma once

#include "FakeDialogs.h"
#include "TempDir.h"
#include "app/Shell.h"
#include "app/ShellOpener.h"
#include "app/WindowHost.h"
#include "launch/ServerLoops.h"
#include "settings/SettingsForm.h"
#include "store/RegistryFile.h"
#include "store/RegistrySettings.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

namespace quarnel::test {

// Records the files it was asked to start and starts nothing.
struct FakeShellOpener : ShellOpener {
    void shellopen(const std::string& file) override { opened.push_back(file); }
    std::vector<std::string> opened;
};

// Starts no loop; says whether one runs and wine is there as told.
struct FakeServerLoops : ServerLoops {
    std::optional<int> running(const LoopFiles&) override { return runningPid; }
    int start(const LoopFiles& files, Output output) override {
        started.emplace_back(files.script(), output);
        return 1;
    }
    std::optional<int> stop(const LoopFiles&, std::chrono::milliseconds) override { return {}; }
    std::string findOnPath(std::string_view program) override {
        return program == "wine" && wine ? "/usr/bin/wine" : "";
    }

    std::optional<int> runningPid;
    bool wine = true;
    std::vector<std::pair<std::string, Output>> started;
};

// The window's side of the shell: remembers the title and whether it was closed.
struct FakeWindowHost : WindowHost {
    void dress() override { ++dressed; }
    void setTitle(const std::string& t) override { title = t; }
    void close() override { ++closed; }
    int dressed = 0, closed = 0;
    std::string title;
};

// One run of the program with fresh fakes over a store that outlives it.
struct ProgramRun {
    ProgramRun(Registry& registry, const std::string& programFolder)
        : shell(form, registry, dialogs, opener, window, programFolder,
                kWritesRestartScript ? &loops : nullptr) {}
    SettingsForm form;
    FakeDialogs dialogs;
    FakeShellOpener opener;
    FakeServerLoops loops;
    FakeWindowHost window;
    Shell shell;
};

// A copy of the demo installation with its INI file, the program's folder, a store in memory.
struct ShellTest : testing::Test {
    ShellTest() : install(copyDemoInstall(dir)), programFolder(dir.makeFolder("program").string()) {
        dir.writeFile("UT2003/System/ut2003.ini",
                      "[Engine.GameInfo]\r\nMaxPlayers=16\r\n[XInterface.MapListDeathMatch]\r\n"
                      "Maps=DM-Old\r\n");
    }
    auto newRun() { return std::make_unique<ProgramRun>(*registry, programFolder); }

    static RegRoot rootOf(std::string_view key) {
        return key == kProgramKey ? kProgramRoot : RegRoot::LocalMachine;
    }
    void put(std::string_view key, std::string_view name, const std::string& text) {
        registry->createKey(rootOf(key), key);
        registry->writeValue(rootOf(key), key, name, text);
    }
    // The stored text; throws when the value is absent.
    std::string text(std::string_view key, std::string_view name) {
        return std::get<std::string>(registry->readValue(rootOf(key), key, name));
    }
    bool stored(std::string_view name) {
        return std::ranges::count(registry->valueNames(kProgramRoot, kProgramKey), name) > 0;
    }
    // The game's own record of its folder, stored without a final separator.
    void storeGameFolder(const std::string& folder) {
        put(kGameKey, kGameFolderValue, folder.substr(0, folder.size() - 1));
    }

    TempDir dir;
    std::string install; // ends in the separator
    std::string programFolder;
    std::unique_ptr<Registry> registry = makeMemoryRegistry();
};

} // namespace quarnel::test
