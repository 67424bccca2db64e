#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

// The game installation: where its folders and files lie below the game folder `gameFolder`
// (a folder ending in a separator), and the few facts the tool relies on there.
namespace quarnel::game {

#ifdef _WIN32
inline constexpr char kNativeSeparator = '\\';
#else
inline constexpr char kNativeSeparator = '/';
#endif

// The current folder in the form the map list uses when the maps folder is missing.
std::string currentFolder(char sep = kNativeSeparator);

// folder & name. With the native separator, on a file system that tells case apart, an
// existing entry of folder whose name differs from name only in case is used instead
// ("System" for "system"), so a game copied from Windows is found. With another separator
// the text is joined as it stands (output for another platform).
std::string join(std::string_view folder, std::string_view name, char sep = kNativeSeparator);

// path with a final separator, as gameFolder and appFolder hold folders; an empty path stays
// empty and a path that already ends in the separator is left as it is.
std::string withSeparator(std::string path, char sep = kNativeSeparator);

// gameFolder & "system" & separator.
std::string systemFolder(std::string_view gameFolder, char sep = kNativeSeparator);
// gameFolder & "maps", without a final separator.
std::string mapsFolder(std::string_view gameFolder, char sep = kNativeSeparator);
// The server program, gameFolder & "system\ucc.exe".
std::string uccExe(std::string_view gameFolder, char sep = kNativeSeparator);
// The game's Linux server program, gameFolder & "system/ucc-bin".
std::string uccBin(std::string_view gameFolder, char sep = kNativeSeparator);
// The game's own INI file, the template of every server INI.
std::string templateIni(std::string_view gameFolder, char sep = kNativeSeparator);
// The bonus-pack marker, gameFolder & "system\BonusPack.int".
std::string bonusPackMarker(std::string_view gameFolder, char sep = kNativeSeparator);

// path made absolute against the current folder, in the platform's own form. On Windows a
// share (\\server\share\...) and the untranslated form (\\?\C:\...) stay what they
// are, and forward slashes become backslashes.
std::string absoluteFolder(const std::string& path);

// Why path cannot name a folder on this platform; nullopt when it can. On Windows a name
// cannot hold < > " | ? * or a control character, and a colon may only follow the drive
// letter at the start. Elsewhere only NUL is refused.
std::optional<std::string> invalidFolderReason(std::string_view path);

// Whether the bonus pack is installed: its marker file exists.
bool hasBonusPack(std::string_view gameFolder);

// An empty path is a folder (or file) that does not exist.
bool folderExists(std::string_view path);
bool fileExists(std::string_view path);

// The game's own INI files, which Make .BAT/.INI refuses to overwrite.
inline constexpr std::array<std::string_view, 9> kBuiltInIniNames = {
    "ut2003.ini",   "build.ini",         "default.ini",      "defunrealed.ini", "defuser.ini",
    "manifest.ini", "udnhelptopics.ini", "unrealedtips.ini", "user.ini"};

// Whether name, in lower case, is one of the built-in INI names.
bool isBuiltInIniName(std::string_view name);

} // namespace quarnel::game
