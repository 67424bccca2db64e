#pragma once

#include "settings/ServerSettings.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarnel {

// The two system colours the bot-skill list's background refers to.
enum class BackColor { Window, ButtonFace };

// Enabled states that the panels' own handling changes. Everything else is always enabled.
struct EnabledState {
    bool botSkillCheck = true;
    bool botSkillList = true;
    bool minPlayers = true;
    bool webAdminPort = true;
    bool customGameType = true;
    std::array<bool, kGameTypeCount> gameTypes{true, true, true, true, true,
                                               true, true, true, true};
    BackColor botSkillListColor = BackColor::Window;
};

// What changed, for a view that mirrors the form. id is the Check, Text or Scroll value for
// those kinds, the entry index for a single map entry (-1: the whole list), else -1.
struct FormChange {
    enum class Kind {
        Check,
        Text,
        Scroll,
        Caption,
        GameType,
        Arena,
        BotSkill,
        MapList,
        Enabled,
        FormVariables
    };
    Kind kind;
    int id = -1;
};

// The settings window without widgets: the state of every settings control (value, enabled
// state, value-label caption, map list) and the handling that runs when a control changes.
// Writing a field behaves like the user's edit: a check box or option that changes runs its
// click handling, a scroll bar that changes rewrites its label, a game type that changes
// re-reads the map list. Invalid values (a scroll value outside the bar, a bot skill that is
// no item) throw Error 380 and change nothing.
class SettingsForm {
public:
    using Listener = std::function<void(const FormChange&)>;

    // The design values (first layer); nothing selected, an empty map list.
    SettingsForm();

    // The view subscribes once; it is told after each change has run its handling.
    void subscribe(Listener listener);

    const ServerSettings& settings() const { return values_; }

    // Second layer, for a run without stored settings: map rotation on, arena option "None",
    // game type "Deathmatch", bot skill "Experienced".
    void applyFirstRunDefaults();

    // Check boxes.
    bool checked(Check c) const { return values_.checked(c); }
    void setChecked(Check c, bool value);
    void useBotsClicked();
    void webAdminClicked();

    // Text boxes. The box's length limit holds for typing only (the view keeps it); a text
    // set by code, such as a loaded one, is kept whole.
    const std::string& text(Text t) const { return values_.text(t); }
    void setText(Text t, std::string_view value);

    // Scroll bars and their value labels.
    int scroll(Scroll s) const { return values_.scroll(s); }
    void setScroll(Scroll s, int value);
    // The thumb is being dragged: the value under the thumb, the label in its drag form.
    // The view calls settleScroll when the drag ends.
    void dragScroll(Scroll s, int value);
    void settleScroll(Scroll s);
    const std::string& caption(Scroll s) const { return captions_[index(s)]; }

    // Game type (gameType 0-8) and arena option (arena 0-4); -1 when none.
    int gameType() const { return values_.gameType; }
    void selectGameType(int index);
    void gameTypeClicked(int index);
    int arena() const { return values_.arena; }
    void selectArena(int index);

    // Bot skill (botSkill): picked by item text or index; -1 / empty when none.
    int botSkillIndex() const { return values_.botSkill; }
    std::string_view botSkillText() const { return values_.botSkillText(); }
    void setBotSkillText(std::string_view text);
    void setBotSkillIndex(int index);

    // Map list (maps). Setting the folder or pattern reads the folder again and leaves
    // nothing selected.
    const MapList& mapList() const { return values_.maps; }
    void setMapFolder(std::string folder);
    void setMapPattern(std::string pattern);
    void setMapSelected(std::size_t entry, bool selected);
    // The whole selection at once (one flag per entry), as a loader restores it.
    void setMapSelection(std::vector<bool> selected);
    void selectAllMaps();
    void clearAllMaps();

    // Enabled states and the bot-skill list's background colour.
    const EnabledState& enabled() const { return enabled_; }
    void setGameTypeEnabled(int index, bool enabled);
    // Offers the bonus pack's game types only when the game has the pack: they are disabled,
    // then enabled again when present. A selected one stays selected either way.
    void offerBonusPackTypes(bool present);
    // Brings the dependent controls and the eight value labels in step with the values, as
    // the window does once its settings are restored: Use Bots, Enable WebAdmin, then the
    // bars in a fixed order.
    void bringPanelsInStep();

    // Form variables: the game folder (ending in a separator, or empty), the program's own
    // folder (ending in a separator), and the game type last restored from the store.
    const std::string& gameFolder() const { return gameFolder_; }
    void setGameFolder(std::string path);
    const std::string& appFolder() const { return appFolder_; }
    void setAppFolder(std::string path);
    int game() const { return game_; }
    void setGame(int index);

    // Runs load, which sets many settings at once (a start-up or a .cfg load). Within it each
    // folder's files are read from the disk once: the map list's re-reads, as the game folder,
    // the first-run game type and the stored one arrive in turn, match the names already read.
    // A maps folder of thousands of files is then read once per load, not three times.
    void loadAtOnce(const std::function<void()>& load);

private:
    void notify(FormChange::Kind kind, int id = -1);
    void readMapFolder(std::string folder, std::string pattern);

    ServerSettings values_;
    std::array<std::string, kScrollCount> captions_;
    EnabledState enabled_;
    std::string gameFolder_;
    std::string appFolder_;
    int game_ = 0;
    std::vector<Listener> listeners_;
    // The folders read within the running loadAtOnce, with their files.
    struct ReadFolder {
        std::string folder;
        std::vector<std::string> files;
    };
    std::optional<std::vector<ReadFolder>> loadFolders_;
};

// The value label of a scroll bar: "Air Control = 35%" once the value has settled;
// "Net Start Delay = 5 sec." while a time bar's thumb is dragged.
std::string valueLabel(Scroll s, int value, bool dragging = false);

} // namespace quarnel
