// Processes that die or save at the same time: the settings read back are one complete set.
#include "ExpectError.h"
#include "TempDir.h"
#include "store/RegistryFile.h"
#include "store/RegistrySettings.h"

#include <gtest/gtest.h>
#include <map>
#include <random>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quarnel {
namespace {

constexpr RegRoot LM = RegRoot::LocalMachine;
using Dump = std::map<std::string, RegValue>;

Dump dump(Registry& reg) {
    Dump d;
    reg.inSnapshot([&] {
        for (const auto& name : reg.valueNames(LM, kProgramKey))
            d[name] = reg.readValue(LM, kProgramKey, name);
    });
    return d;
}

// Two sets that differ in every setting and in the number of maps; the store holds set A.
class TwoSets : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 40; ++i)
            dir.writeFile("game/Maps/DM-Level" + std::to_string(100 + i) + ".ut2", "");
        auto opened = openRegistry(file);
        ASSERT_TRUE(opened.persistent());
        opened.registry->createKey(LM, kProgramKey);
        for (const int v : {1, 0}) {
            SettingsForm& f = sets[v];
            f.setGameFolder((dir.path() / "game" / "").string());
            f.selectGameType(2 + 2 * v); // both list the DM- maps
            f.selectArena(1 + v);
            f.setBotSkillText(kBotSkills[static_cast<std::size_t>(1 + v)]);
            for (const auto& box : kCheckControls)
                f.setChecked(box.id, v == 0);
            for (const auto& text : kTextControls)
                f.setText(text.id, "Set " + std::to_string(v) + " " + std::string(text.name));
            for (const auto& bar : kScrollControls)
                f.setScroll(bar.id, v == 0 ? bar.min : bar.max);
            for (std::size_t i = 0; i < (v == 0 ? 30u : 7u); ++i)
                f.setMapSelected(i * (v == 0 ? 1 : 5), true);
            saveSettings(*opened.registry, f);
            dumps[v] = dump(*opened.registry);
        }
        ASSERT_NE(dumps[0], dumps[1]);
    }

    // Processes that each open the store and, once all have (else one's saves could hold
    // another's opening beyond its busy timeout), save `saves` times (for ever when negative)
    // the set of their index, both in turn when alone. Each exits with the number of saves
    // refused cleanly, 101 after any other failure.
    std::vector<pid_t> startSavers(int count, int saves) {
        int opened[2], go[2];
        if (pipe(opened) != 0 || pipe(go) != 0)
            return {};
        std::vector<pid_t> children;
        for (int c = 0; c < count; ++c) {
            if (const pid_t child = fork(); child != 0) {
                if (child > 0)
                    children.push_back(child);
                continue;
            }
            close(opened[0]);
            close(go[1]);
            auto store = openRegistry(file);
            char byte = 'x';
            // The parent closing its end of `go` is the start signal.
            if (!store.persistent() || write(opened[1], &byte, 1) != 1 || read(go[0], &byte, 1))
                _exit(100);
            int failures = 0;
            for (int k = 0; saves < 0 || k < saves; ++k) {
                try {
                    saveSettings(*store.registry, sets[count == 1 ? k % 2 : c]);
                } catch (const Error& e) {
                    if (e.number() != errc::Registry)
                        _exit(101);
                    ++failures; // a clean failure: this save was not made
                }
            }
            _exit(failures);
        }
        close(opened[1]);
        close(go[0]);
        char byte = 0;
        int told = 0;
        while (told < count && read(opened[0], &byte, 1) == 1)
            ++told;
        close(opened[0]);
        close(go[1]);
        EXPECT_EQ(told, count) << "a saving process could not open the store";
        return children;
    }

    // The store as the next start finds it: usable as it is, holding set A or set B.
    void expectWhole() {
        auto opened = openRegistry(file);
        ASSERT_TRUE(opened.persistent());
        ASSERT_TRUE(opened.notes.empty()) << opened.notes[0];
        const Dump found = dump(*opened.registry);
        EXPECT_TRUE(found == dumps[0] || found == dumps[1]) << "the store holds a mix of two sets";
    }

    test::TempDir dir;
    const std::filesystem::path file = dir.path() / "registry.db";
    SettingsForm sets[2];
    Dump dumps[2];
};

TEST_F(TwoSets, KilledWhileSavingLeavesOneCompleteSet) {
    std::mt19937 random(20261206u);
    std::uniform_int_distribution<int> delayUs(0, 40000);
    for (int round = 0; round < 50 && !HasFailure(); ++round) {
        const std::vector<pid_t> saver = startSavers(1, -1);
        ASSERT_EQ(saver.size(), 1u);
        usleep(static_cast<useconds_t>(delayUs(random)));
        kill(saver[0], SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(saver[0], &status, 0), saver[0]);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saver did not run, round " << round;
        expectWhole();
    }
}

TEST_F(TwoSets, TwoProcessesSavingAtOnceKeepTheStoreWhole) {
    for (const pid_t child : startSavers(2, 15)) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) <= 15) << "unclean failure";
    }
    expectWhole();
}

// Another connection holds the write lock, as a second running copy of the program does:
// writes fail cleanly, reads see the last committed state.
TEST_F(TwoSets, SaveThatCannotGetTheStoreChangesNothing) {
    auto holder = openRegistry(file);
    auto saver = openRegistry(file, 50);
    holder.registry->inTransaction([&] {
        holder.registry->writeValue(LM, kProgramKey, "ServerName", std::string("x"));
        test::expectError(errc::Registry, [&] { saveSettings(*saver.registry, sets[1]); });
        EXPECT_FALSE(saver.registry->writeValue(LM, kProgramKey, "Other", std::string("x")));
        EXPECT_FALSE(saver.registry->deleteValue(LM, kProgramKey, "MapCount"));
        EXPECT_EQ(dump(*saver.registry), dumps[0]);
    });
    EXPECT_EQ(saver.registry->readValue(LM, kProgramKey, "ServerName"), RegValue(std::string("x")));
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
    EXPECT_NE(test::expectError(errc::Registry, [&] { saveSettings(*opened.registry, sets[1]); })
                  .find("refused"),
              std::string::npos);
    EXPECT_EQ(dump(*opened.registry), dumps[0]);
    // The connection is usable again afterwards.
    EXPECT_TRUE(opened.registry->writeValue(LM, kProgramKey, "Other", std::string("x")));
}

} // namespace
} // namespace quarnel
