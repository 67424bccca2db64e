#pragma once

#include <optional>
#include <string>
#include <string_view>

// The names Make .BAT/.INI writes for a chosen INI file: the checks on the name, the batch
// file's name and the folder both files go to.
namespace quarnel {

inline constexpr std::string_view kIniExtensionMessage =
    "Extension must be .INI.  Config files not saved.";
inline constexpr std::string_view kIniExtensionTitle = "Requires INI extension";
inline constexpr std::string_view kBuiltInIniMessage = "You cannot overwrite built-in .INI files";
inline constexpr std::string_view kBuiltInIniTitle = "Failed";
inline constexpr std::string_view kMakeSavedMessage = "Config files saved";
inline constexpr std::string_view kMakeSavedTitle = "Save Successful";

// A message box that refuses the chosen name.
struct MakeRefusal {
    std::string_view message;
    std::string_view title;
};

// Where Make .BAT/.INI writes: the folder (ending in a separator, or empty for a bare
// name), the INI file's name and the batch file's name.
struct MakeFiles {
    std::string folder;
    std::string iniName;
    std::string batchName;
};

// Whether the file name's extension (after its last ".") equals extension, without regard
// to case. A name without a "." has no extension.
bool hasExtension(std::string_view fileName, std::string_view extension);

// The file name of a path: what follows its last separator.
std::string fileTitleOf(std::string_view path);

// The folder of a path, with its final separator; empty for a bare name.
std::string folderOf(std::string_view path);

// The batch file's name: the INI name with every ".ini", in any case, replaced by ".bat".
std::string batchNameFor(std::string_view iniName);

// The refusal for a chosen file title: not an .ini extension, or a built-in INI name.
std::optional<MakeRefusal> refuseIniName(std::string_view fileTitle);

// The files for the chosen path (its folder, its file title as INI name, the batch name).
MakeFiles makeFilesFor(std::string_view chosenPath);

} // namespace quarnel
