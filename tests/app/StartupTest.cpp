#include "ShellFixture.h"
#include "app/Paths.h"
#include "common/Text.h"
#include "game/Installation.h"

#include <filesystem>
#include <set>

namespace quarnel::test {
namespace {

namespace fs = std::filesystem;

const ScriptedDialogs::Message kFirstRun{"This is your first time running this app. Your "
                                         "configuration will be saved when the application is "
                                         "closed normally.",
                                         "First Run Time"};
const ScriptedDialogs::Message kBrowse{"UT2003 path not found.  Please browse to UCC.EXE",
                                       "Browse to UCC.EXE"};
const ScriptedDialogs::Message kPathNotSet{"UT2003 Path not set properly.  App will close",
                                           "Path Not Set"};

// A store that cannot be used at all: every operation fails.
class BrokenRegistry : public MRegistry {
public:
    bool regkeyexists(RegRoot, std::string_view) override { fail(); }
    bool createregkey(RegRoot, std::string_view) override { fail(); }
    bool writeregvalue(RegRoot, std::string_view, std::string_view, const RegWriteValue&) override {
        fail();
    }
    RegValue readregvalue(RegRoot, std::string_view, std::string_view, const RegValue&) override {
        fail();
    }
    bool deleteregvalue(RegRoot, std::string_view, std::string_view) override { fail(); }
    void inTransaction(const std::function<void()>&) override { fail(); }

private:
    [[noreturn]] static void fail() { throw Error(errc::Registry, "disk I/O error"); }
};

TEST_F(ShellTest, FirstRunAnnouncesItselfOnceAndStoresOnlyPathUntilShutdown) {
    storeGameFolder(install);
    auto run = newRun();
    run->shell.Form_Load();

    EXPECT_EQ(run->dialogs.messages, std::vector{kFirstRun});
    EXPECT_TRUE(run->dialogs.requests.empty());
    EXPECT_EQ(run->window.title, "Quarnel");
    EXPECT_EQ(run->window.dressed, 1);
    EXPECT_TRUE(run->form.checked(Check::MapRotation));
    EXPECT_EQ(run->form.arena(), 0);
    EXPECT_EQ(run->form.gameType(), 2);
    EXPECT_EQ(run->form.botSkillText(), "Experienced");
    EXPECT_EQ(run->form.utpath(), install);
    EXPECT_EQ(run->form.mapList().folder, install + "Maps");
    EXPECT_EQ(run->form.mapList().pattern, "DM-*.*");
    // The panels are in step with the unchecked Use Bots and Enable WebAdmin boxes.
    EXPECT_FALSE(run->form.enabled().chkBotSkill);
    EXPECT_FALSE(run->form.enabled().sclMinPlayers);
    EXPECT_FALSE(run->form.enabled().txtwebport);

    EXPECT_EQ(text(kProgramKey, "Path"), programFolder + "/");
    for (const char* name : {"UTPATH", "MapCount", "GameType", "ServerName", "UseMapRotation"})
        EXPECT_FALSE(stored(name)) << name;

    run->shell.unload();
    EXPECT_EQ(run->window.closed, 1);
    EXPECT_EQ(storedPathToUtpath(text(kProgramKey, "UTPATH")), install);
    EXPECT_EQ(run->dialogs.messages.size(), 1u);
}

TEST_F(ShellTest, LaterRunRestoresTheLastSettingsWithoutAskingElsewhere) {
    storeGameFolder(install);
    {
        auto first = newRun();
        first->shell.Form_Load();
        first->form.selectGameType(1);
        ASSERT_GE(first->form.mapList().count(), 2u);
        first->form.setMapSelected(1, true);
        first->form.setText(Text::ServerName, "Big Server");
        first->form.setChecked(Check::UseBots, true);
        first->shell.unload();
    }
    // The game's own entry now names another installation; it must not be consulted.
    TempDir elsewhere;
    storeGameFolder(copyDemoInstall(elsewhere));

    auto run = newRun();
    run->shell.Form_Load();

    EXPECT_TRUE(run->dialogs.messages.empty());
    EXPECT_TRUE(run->dialogs.requests.empty());
    EXPECT_EQ(run->form.utpath(), install);
    EXPECT_EQ(run->form.gameType(), 1);
    EXPECT_EQ(run->form.mapList().selected, (std::vector<bool>{false, true, false}));
    EXPECT_EQ(run->form.text(Text::ServerName), "Big Server");
    EXPECT_TRUE(run->form.enabled().chkBotSkill);
    // The stored map entries stay in the store while the program runs.
    EXPECT_EQ(run->form.mapList().entries[1], "CTF-Glacier.ut2");
    EXPECT_EQ(trimRightBlanks(text(kProgramKey, "Map1")), "CTF-Glacier");
}

TEST_F(ShellTest, VanishedStoredFolderFallsBackToTheGameEntry) {
    storeLastRun(dir.withSeparator() + "gone/");
    storeGameFolder(install);
    auto run = newRun();
    run->shell.Form_Load();

    EXPECT_TRUE(run->dialogs.messages.empty());
    EXPECT_EQ(run->form.utpath(), install);
    EXPECT_EQ(run->form.mapList().folder, install + "Maps");
}

TEST_F(ShellTest, StoredFolderWithInnerBlanksIsFoundAgain) {
    fs::rename(install, dir.path() / "Program Files");
    const std::string spaced = dir.withSeparator() + "Program Files/";
    storeLastRun(spaced);
    auto run = newRun();
    run->shell.Form_Load();

    EXPECT_TRUE(run->dialogs.messages.empty());
    EXPECT_EQ(run->form.utpath(), spaced);
}

TEST_F(ShellTest, KeyWithoutStoredFolderCountsAsNotStored) {
    // A first run that was killed before its shutdown leaves the key with Path only.
    put(kProgramKey, kPathValue, programFolder + "/");
    storeGameFolder(install);
    auto run = newRun();
    run->shell.Form_Load();

    EXPECT_TRUE(run->dialogs.messages.empty());
    EXPECT_EQ(run->form.utpath(), install);
}

struct BrowseCase {
    const char* name;
    const char* chosen; // below the temporary folder; nullptr cancels
    const char* utpath; // below the temporary folder; nullptr for none
};

class BrowseTest : public ShellTest, public testing::WithParamInterface<BrowseCase> {};

TEST_P(BrowseTest, UserPointsAtTheServerProgram) {
    const auto& c = GetParam();
    dir.writeFile("Games/UT/ucc.exe", "");
    storeLastRun(dir.withSeparator() + "gone/");
    auto run = newRun();
    if (c.chosen != nullptr)
        run->dialogs.choose(dir.withSeparator() + c.chosen);
    run->shell.Form_Load();

    EXPECT_EQ(run->dialogs.messages, std::vector{kBrowse});
    ASSERT_EQ(run->dialogs.requests.size(), 1u);
    const auto& request = run->dialogs.requests[0];
    EXPECT_EQ(request.mode, FileDialogRequest::Mode::Open);
    EXPECT_EQ(request.filterDescription, "UCC.EXE");
    EXPECT_EQ(request.filterPattern, "ucc.exe");
    EXPECT_EQ(request.defaultExtension, "exe");
    EXPECT_FALSE(request.initialFolder.empty());

    const std::string expected = c.utpath ? dir.withSeparator() + c.utpath : std::string();
    EXPECT_EQ(run->form.utpath(), expected);
    const std::string mapFolder = c.utpath ? game::mapsFolder(expected) : programFolder + "/";
    EXPECT_EQ(run->form.mapList().folder, mapFolder);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, BrowseTest,
    testing::Values(BrowseCase{"InSystemFolder", "UT2003/System/ucc.exe", "UT2003/"},
                    BrowseCase{"UpperCaseName", "UT2003/System/UCC.EXE", "UT2003/"},
                    BrowseCase{"OutsideSystemFolder", "Games/UT/ucc.exe", "Games/UT/"},
                    BrowseCase{"OtherFile", "UT2003/System/BonusPack.int", nullptr},
                    BrowseCase{"Cancelled", nullptr, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ShellTest, NoGameFolderClosesAtFirstActivationAndSaves) {
    auto run = newRun();
    run->dialogs.cancel();
    run->shell.Form_Load();
    run->shell.Form_Activate();

    EXPECT_EQ(run->dialogs.messages, (std::vector{kFirstRun, kBrowse, kPathNotSet}));
    EXPECT_EQ(run->window.closed, 1);
    EXPECT_TRUE(run->shell.unloaded());
    EXPECT_TRUE(stored("UseMapRotation"));
}

struct PathCheckCase {
    const char* utpath;
    bool closes;
};

class PathCheckTest : public ShellTest, public testing::WithParamInterface<PathCheckCase> {};

TEST_P(PathCheckTest, ClosesOnlyWithoutAnyFolder) {
    storeGameFolder(install);
    auto run = newRun();
    run->shell.Form_Load();
    run->form.setUtpath(GetParam().utpath);
    run->shell.Form_Activate();
    run->shell.Form_Activate();

    const bool closes = GetParam().closes;
    EXPECT_EQ(run->window.closed, closes ? 1 : 0);
    EXPECT_EQ(run->dialogs.messages.size(), closes ? 2u : 1u);
    if (closes) {
        EXPECT_EQ(run->dialogs.messages.back(), kPathNotSet);
    }
}

INSTANTIATE_TEST_SUITE_P(Folders, PathCheckTest,
                         testing::Values(PathCheckCase{"", true}, PathCheckCase{"/", true},
                                         PathCheckCase{"./", true},
                                         PathCheckCase{"/no/such/folder/", false},
                                         PathCheckCase{"../", false}));

TEST_F(ShellTest, BonusPackTypesFollowTheMarkerFile) {
    storeGameFolder(install);
    {
        auto first = newRun();
        first->shell.Form_Load();
        EXPECT_TRUE(first->form.enabled().optGameType[5]);
        first->form.selectGameType(6);
        first->shell.unload();
    }
    fs::remove(dir.path() / "UT2003/System/BonusPack.int");
    auto run = newRun();
    run->shell.Form_Load();

    const auto& enabled = run->form.enabled().optGameType;
    EXPECT_EQ(std::vector<bool>(enabled.begin(), enabled.end()),
              (std::vector<bool>{true, true, true, true, true, false, false, false, true}));
    EXPECT_EQ(run->form.gameType(), 6);
}

TEST_F(ShellTest, BrokenStoreStillStartsAndCloses) {
    BrokenRegistry broken;
    auto run = std::make_unique<ProgramRun>(broken, programFolder);
    run->dialogs.choose(install + "System/ucc.exe");
    EXPECT_NO_THROW(run->shell.Form_Load());
    EXPECT_EQ(run->form.utpath(), install);
    EXPECT_EQ(run->form.gameType(), 2);

    EXPECT_NO_THROW(run->shell.unload());
    EXPECT_EQ(run->window.closed, 1);
}

TEST_F(ShellTest, WindowClosedByTheUserSavesOnce) {
    storeGameFolder(install);
    auto run = newRun();
    run->shell.Form_Load();
    run->shell.Form_Unload();
    put(kProgramKey, "ServerName", "written after the save ");
    // A second report of the same close does not save again.
    run->shell.Form_Unload();
    EXPECT_EQ(text(kProgramKey, "ServerName"), "written after the save ");
}

} // namespace
} // namespace quarnel::test
