// The store under processes that die or save at the same time: the settings read back are
// always one complete set.
#include "ExpectError.h"
#include "TempDir.h"
#include "store/RegistryFile.h"
#include "store/RegistrySettings.h"

#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <random>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quarnel {
namespace {

constexpr RegRoot LM = RegRoot::LocalMachine;
using Dump = std::map<std::string, std::optional<RegValue>>;

// Two settings sets that differ in every setting and in the number of maps.
class TwoSets : public ::testing::Test {
protected:
    void SetUp() override {
        dir.makeFolder("game/Maps");
        for (int i = 0; i < 40; ++i)
            dir.writeFile("game/Maps/DM-Level" + std::to_string(100 + i) + ".ut2", "");
        setA = makeSet("Set A", 1, 30);
        setB = makeSet("Set B", 2, 7);
        for (const auto* set : {&setA, &setB})
            for (const auto& [name, text] : registryEntries(*set))
                names.push_back(name);
        names.push_back(std::string(kMapCountValue));
        for (int n = 1; n <= 40; ++n)
            names.push_back("Map" + std::to_string(n));
        dumpA = expectedDump(setA);
        dumpB = expectedDump(setB);
        ASSERT_NE(dumpA, dumpB);
        // The store holds set A to begin with.
        auto opened = openRegistry(file);
        ASSERT_TRUE(opened.persistent());
        opened.registry->createKey(LM, kProgramKey);
        saveSettings(*opened.registry, setA);
    }

    SettingsForm makeSet(const std::string& serverName, int variant, int maps) {
        SettingsForm f;
        f.setGameFolder((dir.path() / "game" / "").string());
        f.selectGameType(variant == 1 ? 2 : 4); // both list the DM- maps
        f.selectArena(variant);
        f.setBotSkillText(kBotSkills[static_cast<std::size_t>(variant)]);
        for (const auto& box : kCheckControls)
            f.setChecked(box.id, variant == 1);
        for (const auto& text : kTextControls)
            f.setText(text.id, serverName + " " + std::string(text.name));
        for (const auto& bar : kScrollControls)
            f.setScroll(bar.id, variant == 1 ? bar.min : bar.max);
        for (int i = 0; i < maps; ++i)
            f.setMapSelected(static_cast<std::size_t>(i * (variant == 1 ? 1 : 5)), true);
        return f;
    }

    Dump dump(Registry& reg) const {
        Dump d;
        reg.inSnapshot([&] {
            for (const auto& name : names) {
                try {
                    d[name] = reg.readValue(LM, kProgramKey, name);
                } catch (const Error&) {
                    d[name] = std::nullopt;
                }
            }
        });
        return d;
    }

    Dump expectedDump(const SettingsForm& set) const {
        auto reg = makeMemoryRegistry();
        reg->createKey(LM, kProgramKey);
        saveSettings(*reg, set);
        return dump(*reg);
    }

    // The store as the next start finds it: usable as it is, holding set A or set B.
    void expectWhole() {
        auto opened = openRegistry(file);
        ASSERT_TRUE(opened.persistent());
        ASSERT_TRUE(opened.notes.empty()) << opened.notes[0];
        const Dump found = dump(*opened.registry);
        EXPECT_TRUE(found == dumpA || found == dumpB) << "the store holds a mix of two sets";
    }

    test::TempDir dir;
    const std::filesystem::path file = dir.path() / "registry.db";
    SettingsForm setA, setB;
    std::vector<std::string> names;
    Dump dumpA, dumpB;
};

TEST_F(TwoSets, KilledWhileSavingLeavesOneCompleteSet) {
    std::mt19937 random(20261206u);
    std::uniform_int_distribution<int> delayUs(0, 40000);
    for (int round = 0; round < 50; ++round) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        ASSERT_NE(child, -1);
        if (child == 0) {
            close(ready[0]);
            auto opened = openRegistry(file);
            if (!opened.persistent())
                _exit(3);
            // Tell the parent that saving starts now, so the kill lands among the saves.
            if (write(ready[1], "x", 1) != 1)
                _exit(4);
            for (unsigned k = 0;; ++k) {
                try {
                    saveSettings(*opened.registry, k % 2 ? setA : setB);
                } catch (const Error&) {
                }
            }
        }
        close(ready[1]);
        char byte = 0;
        const bool started = read(ready[0], &byte, 1) == 1;
        close(ready[0]);
        if (started)
            usleep(static_cast<useconds_t>(delayUs(random)));
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(started && WIFSIGNALED(status))
            << "the saving process did not run, round " << round;
        expectWhole();
        if (HasFailure())
            break;
    }
}

TEST_F(TwoSets, TwoProcessesSavingAtOnceKeepTheStoreWhole) {
    constexpr int kSaves = 15;
    // Both open the store before either saves: on a busy machine one process's saves could
    // otherwise hold the other's opening beyond its busy timeout.
    int opened[2], go[2];
    ASSERT_EQ(pipe(opened), 0);
    ASSERT_EQ(pipe(go), 0);
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = fork();
        ASSERT_NE(children[c], -1);
        if (children[c] == 0) {
            close(opened[0]);
            close(go[1]);
            auto store = openRegistry(file);
            char byte = 'x';
            const bool told = store.persistent() && write(opened[1], &byte, 1) == 1;
            close(opened[1]);
            if (!told || read(go[0], &byte, 1) != 1)
                _exit(100);
            int failures = 0;
            for (int k = 0; k < kSaves; ++k) {
                try {
                    saveSettings(*store.registry, c == 0 ? setA : setB);
                } catch (const Error& e) {
                    if (e.number() != errc::Registry)
                        _exit(101);
                    ++failures; // a clean failure: this save was not made
                }
            }
            _exit(failures);
        }
    }
    close(opened[1]);
    close(go[0]);
    char bytes[2] = {};
    int told = 0;
    while (told < 2 && read(opened[0], bytes, 1) == 1)
        ++told;
    if (told > 0) { // someone waits for it
        EXPECT_EQ(write(go[1], bytes, 2), 2);
    }
    close(opened[0]);
    close(go[1]);
    EXPECT_EQ(told, 2) << "a saving process could not open the store";
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_LE(WEXITSTATUS(status), kSaves) << "a saving process failed uncleanly";
    }
    expectWhole();
}

TEST_F(TwoSets, SaveThatCannotGetTheStoreChangesNothing) {
    auto holder = openRegistry(file);
    auto saver = openRegistry(file, 50);
    holder.registry->inTransaction([&] {
        holder.registry->writeValue(LM, kProgramKey, "Other", std::string("x"));
        test::expectError(errc::Registry, [&] { saveSettings(*saver.registry, setB); });
    });
    EXPECT_EQ(dump(*saver.registry), dumpA);
}

TEST_F(TwoSets, SaveThatFailsHalfwayChangesNothing) {
    // The store refuses one value in the middle of the save, as a full disk would.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TRIGGER refuse BEFORE INSERT ON vals WHEN NEW.name = 'Map3' "
                           "BEGIN SELECT RAISE(ABORT, 'refused'); END",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);

    auto opened = openRegistry(file);
    EXPECT_NE(test::expectError(errc::Registry, [&] { saveSettings(*opened.registry, setB); })
                  .find("refused"),
              std::string::npos);
    EXPECT_EQ(dump(*opened.registry), dumpA);
    // The connection is usable again afterwards.
    EXPECT_TRUE(opened.registry->writeValue(LM, kProgramKey, "Other", std::string("x")));
}

} // namespace
} // namespace quarnel
