#pragma once

#include "settings/ServerSettings.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// The settings that a settings set holds, named once, in the one order both stores keep:
// the remembered settings (one value per setting) and .cfg files (one line per setting).
namespace quarnel {

// How a .cfg line encodes its setting.
enum class CfgKind {
    Utpath,        // the game folder, raw
    GameType,      // blank-free caption of the selected game type, or the custom text
    Number,        // a text box holding a number: its text without blanks
    RawText,       // a text box's text unchanged
    BlankFreeText, // a text box's text without blanks
    Scroll,        // a scroll bar's value, from its settled value label
    Arena,         // blank-free caption of the selected arena option
    CheckLastChar, // a check box; on reading the line's last character, non-zero checks
    ServerOption,  // a check box; on reading the line's last character, "1" checks
    CheckValue,    // a check box; on reading the converted value, non-zero checks
    BotSkill,      // the picked bot skill's text without blanks
};

// How the remembered settings store a setting (the text before the one blank that ends
// every stored text) and how the stored text is put back.
enum class StoredKind {
    Utpath,    // the game folder less its final separator (empty when no folder is known);
               // read by start-up, not by the load
    GameType,  // the game type word or the custom game type, blanks removed
    StripText, // saved and loaded with every blank removed
    TrimText,  // saved as typed; loaded with the trailing blanks removed
    TypedText, // saved as typed; loaded with every blank removed (the extra mutators)
    Flag,      // "0" or "1"; loaded as a number, non-zero checks the box
    Number,    // the scroll value in decimal
    Arena,     // the selected arena option's caption, blanks removed; no entry when none
    BotSkill,  // the bot skill's text, blanks removed
};

// One setting: its key (the value name in the store, the key of its .cfg line), how each
// store encodes it, and the control it belongs to (a Check, Text or Scroll value cast to
// int; -1 for the settings that are no such control).
struct StoredField {
    std::string_view key;
    CfgKind kind;
    StoredKind stored;
    int control;
};

inline constexpr std::size_t kStoredFieldCount = 60;

// Every setting in order, from UTPATH to UseMapRotation; the selected maps follow them in
// both stores. The keys are the captions that name the settings on the window, blanks
// removed; both stores and both directions take them from here.
extern const std::array<StoredField, kStoredFieldCount> kStoredFields;

// The word both stores keep for the game type: the selected type's caption without blanks,
// or the custom game type without blanks for "Other" and for no type selected.
std::string gameTypeWord(const ServerSettings& settings);

// The game type a stored word selects: the type whose caption without blanks it equals
// (case-sensitive), else "Other".
int gameTypeOfWord(std::string_view word);

// The arena option a stored word selects, or -1 for a word that is none of them.
int arenaOfWord(std::string_view word);

} // namespace quarnel
