#pragma once

#include <string>
#include <string_view>

// Everything modal that the program shows: message boxes and file dialogs. The window passes
// a Qt implementation; tests pass scripted answers and read back what was shown.
namespace quarnel {

struct FileDialogRequest {
    enum class Mode { Open, Save };
    Mode mode = Mode::Open;
    std::string initialFolder;
    std::string filterDescription; // "QUARNEL Config File"
    std::string filterPattern;     // "*.cfg"
    std::string defaultExtension;  // "cfg", without the point
    std::string fileName;          // pre-filled name
};

struct FileDialogResult {
    // Reported in flags when the chosen name's extension differs from the default extension
    // (compared without regard to case).
    static constexpr int kExtensionDifferent = 1024;

    bool cancelled = true;
    std::string path;  // full path of the chosen file
    std::string title; // the chosen file's name without its folder
    int flags = 0;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A modal message with an OK button only and no icon.
    virtual void message(std::string_view text, std::string_view title) = 0;
    // A modal open or save dialog.
    virtual FileDialogResult fileDialog(const FileDialogRequest& request) = 0;
    // A modal question with a warning icon and two buttons, the one that goes on
    // (goOnCaption, "Launch anyway") and the one that stops ("Cancel", the default). True
    // when the user chose to go on; closing the box stops.
    virtual bool ask(std::string_view text, std::string_view title, std::string_view goOnCaption,
                     std::string_view stopCaption) = 0;
};

} // namespace quarnel
