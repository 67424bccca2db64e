#pragma once

#include <array>
#include <cstddef>
#include <string_view>

// The settings controls of the main window, named once: their identities, control names,
// captions, tooltips, design values and limits. The form, the view, the generators and the
// stores all walk these tables instead of repeating the names.
namespace quarnel {

// Check boxes. Members of a control array sit in index order.
enum class Check : int {
    MapRotation,
    BigHead,
    FloatyCadavers,
    LowGravity,
    NoAdrenaline,
    QuadJump,
    Regeneration,
    SlowMotionCorpses,
    Vampire,
    WeaponsStay,
    Translocator,
    WeaponThrowing,
    ForceRespawn,
    WebAdmin,
    WorldStatsLogging,
    LanGame,
    AdminPausing,
    Taunts,
    BrightSkins,
    WaitForPlayers,
    BehindView,
    BalanceTeams,
    MegaSpeed,
    MasterServerUplink,
    GameSpyUplink,
    UseBots,
    BotSkill,
};
inline constexpr std::size_t kCheckCount = static_cast<std::size_t>(Check::BotSkill) + 1;

// The mutator boxes follow one another from BigHead on.
inline constexpr int kMutatorCount =
    static_cast<int>(Check::Vampire) - static_cast<int>(Check::BigHead) + 1;
inline constexpr Check mutatorBox(int index) {
    return static_cast<Check>(static_cast<int>(Check::BigHead) + index);
}
inline constexpr Check gameOptionBox(int index) {
    return static_cast<Check>(static_cast<int>(Check::WeaponsStay) + index);
}
inline constexpr Check serverOptionBox(int index) {
    return static_cast<Check>(static_cast<int>(Check::WorldStatsLogging) + index);
}

// Text boxes.
enum class Text : int {
    CustomGameType,
    ExtraMutators,
    TimeLimit,
    GoalLimit,
    MaxLives,
    ServerName,
    ShortServerName,
    AdminName,
    AdminEmail,
    MOTD1,
    MOTD2,
    MOTD3,
    MOTD4,
    AdminPassword,
    GamePassword,
    WebAdminPort,
    GamePort,
    NetSpeed,
    LanSpeed,
    NetTickRate,
    LanTickRate,
    ExtraCommandLine,
};
inline constexpr std::size_t kTextCount = static_cast<std::size_t>(Text::ExtraCommandLine) + 1;

// Horizontal scroll bars, each with a value label above it.
enum class Scroll : int {
    AirControl,
    GameSpeed,
    FriendlyFire,
    SpawnProtection,
    MaxPlayers,
    MaxSpectators,
    NetStartDelay,
    MinPlayers,
};
inline constexpr std::size_t kScrollCount = static_cast<std::size_t>(Scroll::MinPlayers) + 1;

inline constexpr std::size_t index(Check c) {
    return static_cast<std::size_t>(c);
}
inline constexpr std::size_t index(Text t) {
    return static_cast<std::size_t>(t);
}
inline constexpr std::size_t index(Scroll s) {
    return static_cast<std::size_t>(s);
}

struct CheckControl {
    Check id;
    std::string_view name; // control name, "chkServerOptions"
    int arrayIndex;        // index within its control array, -1 for a single control
    std::string_view caption;
    std::string_view tooltip;
};

struct TextControl {
    Text id;
    std::string_view name;      // "txtServerName"
    std::string_view labelName; // "lblServerName", empty when the box has no label of its own
    std::string_view caption;   // the label's caption
    std::string_view designText;
    int maxLength; // 0: no limit
    std::string_view tooltip;
    bool tooltipOnLabel;
    bool tooltipOnBox;
    bool password;
};

struct ScrollControl {
    Scroll id;
    std::string_view name;      // "sclAirControl"
    std::string_view labelName; // "lblAirControl"
    std::string_view caption;   // the label's design caption, "Air Control"
    int min;
    int max;
    int designValue;
    std::string_view unit;    // "%" after the value in the label, or empty
    bool secondsWhileDragged; // " sec." after the value while the thumb is dragged
    std::string_view tooltip; // on the label
};

inline constexpr std::array<CheckControl, kCheckCount> kCheckControls = {{
    {Check::MapRotation, "chkMapRotation", -1, "Use Map Rotation",
     "Use Map Rotation... If unchecked, the first selected map on the list will be used"},
    {Check::BigHead, "chkMutator", 0, "BigHead", "Head size depends on how well you are doing"},
    {Check::FloatyCadavers, "chkMutator", 1, "Floaty Cadavers", "Your kills weigh lightly"},
    {Check::LowGravity, "chkMutator", 2, "LowGrav", "Low gravity"},
    {Check::NoAdrenaline, "chkMutator", 3, "No Adrenaline",
     "Adrenaline pickups are removed from the map"},
    {Check::QuadJump, "chkMutator", 4, "QuadJump", "When double jump just isn't enough"},
    {Check::Regeneration, "chkMutator", 5, "Regeneration", "All players regenerate health"},
    {Check::SlowMotionCorpses, "chkMutator", 6, "Slow Motion Corpses",
     "Death should not be rushed"},
    {Check::Vampire, "chkMutator", 7, "Vampire", "Damaging your opponents will heal you"},
    {Check::WeaponsStay, "chkGameOptions", 0, "Weapons Stay", ""},
    {Check::Translocator, "chkGameOptions", 1, "Translocator", ""},
    {Check::WeaponThrowing, "chkGameOptions", 2, "Weapon Throwing", ""},
    {Check::ForceRespawn, "chkGameOptions", 3, "Force Respawn", ""},
    {Check::WebAdmin, "chkWebadmin", -1, "Enable WebAdmin", ""},
    {Check::WorldStatsLogging, "chkServerOptions", 0, "World Stats Logging",
     "Keep stats on UT2003 Global Stats servers"},
    {Check::LanGame, "chkServerOptions", 1, "LAN Game",
     "Advertise this game on the Local Area Network"},
    {Check::AdminPausing, "chkServerOptions", 2, "Allow Admin Pausing",
     "Allow Admins to pause the game"},
    {Check::Taunts, "chkServerOptions", 3, "Allow Taunts",
     "Allow verbal abuse from one player to another"},
    {Check::BrightSkins, "chkServerOptions", 4, "Bright Skins",
     "Brighten the lives of your opponents for easy pickins'"},
    {Check::WaitForPlayers, "chkServerOptions", 5, "Wait For Players",
     "Wait for all connected players to join the server before starting match"},
    {Check::BehindView, "chkServerOptions", 6, "Allow Behind View",
     "Allow players to use the 'Look Behind' feature"},
    {Check::BalanceTeams, "chkServerOptions", 7, "Balance Teams",
     "Automatically join players to teams in order to keep balance"},
    {Check::MegaSpeed, "chkServerOptions", 8, "Mega Speed", "MEGA SPEED!"},
    {Check::MasterServerUplink, "chkServerOptions", 9, "Master Server Uplink",
     "Check here if you want your server to show up in the Server Browser"},
    {Check::GameSpyUplink, "chkServerOptions", 10, "GameSpy Uplink",
     "Check here to advertise on GameSpy"},
    {Check::UseBots, "chkUseBots", -1, "Use Bots", "Enable computer controlled opponents"},
    {Check::BotSkill, "chkBotSkill", -1, "Adjust Bot Skill", "Bots get better if you do"},
}};

inline constexpr std::array<TextControl, kTextCount> kTextControls = {{
    {Text::CustomGameType, "txtGametype", "", "", "", 0, "Enter custom GameType here", false, true,
     false},
    {Text::ExtraMutators, "txtMutator", "lblMutator", "Extra Mutators (separate by commas)", "", 0,
     "Add extra mutator strings here.  Syntax is very important.   Separate each mutator by "
     "commas, with trailing comma.  Do not put any spaces in the string.",
     false, true, false},
    {Text::TimeLimit, "txtTimeLimit", "lblTimeLimit", "Time Limit", "15", 3,
     "Set the length of time a round lasts in minutes", true, true, false},
    {Text::GoalLimit, "txtGoalLimit", "lblGoalLimit", "Goal Limit", "35", 3,
     "Sets the number of Kills/Goals needed to end a round", true, true, false},
    {Text::MaxLives, "txtMaxLives", "lblMaxLives", "Max Lives", "0", 3, "", false, false, false},
    {Text::ServerName, "txtServerName", "lblServerName", "Server Name", "", 255,
     "Enter the name to be displayed in the Server List", false, true, false},
    {Text::ShortServerName, "txtShortServerName", "lblShortServerName", "Short Server Name", "",
     255, "Short name", false, true, false},
    {Text::AdminName, "txtAdminName", "lblAdminName", "Admin Name", "", 255,
     "Administrator's handle", false, true, false},
    {Text::AdminEmail, "txtAdminEmail", "lblAdminEmail", "Admin E-Mail", "", 255,
     "Administrator's e-mail address", false, true, false},
    {Text::MOTD1, "txtMOTD1", "lblMOTD1", "MOTD1", "", 254, "Message of the day - Line 1", false,
     true, false},
    {Text::MOTD2, "txtMOTD2", "lblMOTD2", "MOTD2", "", 254, "Message of the day - Line 2", false,
     true, false},
    {Text::MOTD3, "txtMOTD3", "lblMOTD3", "MOTD3", "", 254, "Message of the day - Line 3", false,
     true, false},
    {Text::MOTD4, "txtMOTD4", "lblMOTD4", "MOTD4", "", 254, "Message of the day - Line 4", false,
     true, false},
    {Text::AdminPassword, "txtAdminPassword", "lblAdminPassword", "Admin Password", "", 0, "",
     false, false, true},
    {Text::GamePassword, "txtGamePassword", "lblGamePassword", "Game Password", "", 0, "", false,
     false, true},
    {Text::WebAdminPort, "txtwebport", "lblwebport", "Web Port", "80", 0,
     "Specify listen port for WebAdmin server.  Default is 80.", true, true, false},
    {Text::GamePort, "txtPort", "lblPort", "Game Port", "7777", 5,
     "Specify listen port for games.  Default is 7777.", true, true, false},
    {Text::NetSpeed, "txtnetspeed", "lblnetspeed", "NetSpeed", "7000", 5,
     "Specify maximum speed in Kb of internet clients.  Default is 7000.", true, true, false},
    {Text::LanSpeed, "txtlanspeed", "lblLANSpeed", "LANSpeed", "10000", 5,
     "Specify maximum speed in Kb of LAN clients.  Default is 10000.", true, true, false},
    {Text::NetTickRate, "txtnettickrate", "lblnettickrate", "Net Tick Rate", "20", 0,
     "Specify number of times/second the server will update internet clients. Default is 20.", true,
     true, false},
    {Text::LanTickRate, "txtlantickrate", "lbllantickrate", "LAN Tick Rate", "35", 0,
     "Specify number of times/second the server will update LAN clients. Default is 35.", true,
     true, false},
    {Text::ExtraCommandLine, "txtCmdLineOptions", "lblExtraCmdLine", "Extra Command Line Options",
     "", 0,
     "Enter extra command line options here.  This text will be inserted after the last '?' "
     "and before INI= and LOG= statements.",
     true, true, false},
}};

inline constexpr std::array<ScrollControl, kScrollCount> kScrollControls = {{
    {Scroll::AirControl, "sclAirControl", "lblAirControl", "Air Control", 0, 100, 35, "%", false,
     "Amount of control a player has to move in the air"},
    {Scroll::GameSpeed, "sclGameSpeed", "lblGameSpeed", "Game Speed", 50, 200, 100, "%", false,
     "Speed game up by this percentage"},
    {Scroll::FriendlyFire, "sclFriendlyFire", "lblFriendlyFire", "Friendly Fire", 0, 200, 0, "%",
     false, "Amount of damage done if teammate hit you"},
    {Scroll::SpawnProtection, "sclSpawnProtection", "lblSpawnProtection", "Spawn Protection Time",
     0, 30, 0, "", true, "Grace period of invincibility allotted to you after respawning"},
    {Scroll::MaxPlayers, "sclMaxPlayers", "lblMaxPlayers", "Max Players", 0, 32, 16, "", false,
     "Maximum Amount of players allowed in a game"},
    {Scroll::MaxSpectators, "sclMaxSpectators", "lblMaxSpectators", "Max Spectators", 0, 32, 2, "",
     false, "Maximum Amount of spectators allowed in a game"},
    {Scroll::NetStartDelay, "sclNetStartDelay", "lblNetStartDelay", "Net Start Delay", 0, 60, 0, "",
     true, ""},
    {Scroll::MinPlayers, "sclMinPlayers", "lblMinPlayers", "Min Players", 0, 32, 0, "", false,
     "Minimum amount of players in a game.  Bots will fill unused positions below this number"},
}};

inline constexpr const CheckControl& control(Check c) {
    return kCheckControls[index(c)];
}
inline constexpr const TextControl& control(Text t) {
    return kTextControls[index(t)];
}
inline constexpr const ScrollControl& control(Scroll s) {
    return kScrollControls[index(s)];
}

// Game types (gameType), by index: caption, map-list pattern, whether the bonus pack
// provides it.
struct GameTypeOption {
    std::string_view caption;
    std::string_view pattern;
    bool bonusPack;
};
inline constexpr int kGameTypeCount = 9;
inline constexpr int kGameTypeOther = 8;
inline constexpr std::array<GameTypeOption, kGameTypeCount> kGameTypes = {{
    {"Bombing Run", "BR-*.*", false},
    {"Capture The Flag", "CTF-*.*", false},
    {"Deathmatch", "DM-*.*", false},
    {"Double Domination", "DOM-*.*", false},
    {"Team Deathmatch", "DM-*.*", false},
    {"Last Man Standing", "*.*", true},
    {"Mutant", "*.*", true},
    {"Invasion", "*.*", true},
    {"Other", "*.*", false},
}};

// Arena options (arena), by index: caption and tooltip.
struct ArenaOption {
    std::string_view caption;
    std::string_view tooltip;
};
inline constexpr int kArenaCount = 5;
inline constexpr std::array<ArenaOption, kArenaCount> kArenaOptions = {{
    {"None", "Select 'None' if you dont want a mutator from this group"},
    {"Arena", "Replace weapons and ammo in map"},
    {"Instagib", "Instant-kill combat with modified Shock Rifles"},
    {"No SuperWeapons", "SuperWeapon pickups are removed from the map"},
    {"Zoom Instagib", "Instant-kill combat with modified Shock Rifles with sniper zooms"},
}};

// The items of botSkill in list order; the index is the server's bot skill level.
inline constexpr std::array<std::string_view, 8> kBotSkills = {
    "Novice", "Average", "Experienced", "Skilled", "Adept", "Masterful", "Inhuman", "Godlike!"};

// Captions of the frames and of the labels that name a group rather than one control.
namespace caption {
inline constexpr std::string_view frmGameType = "Game Type";
inline constexpr std::string_view frmMapList = "Map List";
inline constexpr std::string_view frmMutators = "Mutators";
inline constexpr std::string_view frmGameOptions = "Game Options";
inline constexpr std::string_view frmServerOptions = "Server Options";
inline constexpr std::string_view frmBots = "Bots";
inline constexpr std::string_view frmCommands = "Application Commands";
inline constexpr std::string_view lblBonuspack = "Bonus Pack Gametypes";
inline constexpr std::string_view lblSelectFiles = "Select Maps from list";
inline constexpr std::string_view lblMutators = "Arena Options";
inline constexpr std::string_view lblBotSkill = "Bots Skill";
inline constexpr std::string_view cmdselectall = "Select All";
inline constexpr std::string_view cmdclearall = "Clear All";
inline constexpr std::string_view tabGame = "Game Options";
inline constexpr std::string_view tabServer = "Server Options";
} // namespace caption

} // namespace quarnel
