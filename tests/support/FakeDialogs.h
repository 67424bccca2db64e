#pragma once

#include "app/Dialogs.h"

#include <deque>
#include <ostream>
#include <string>
#include <vector>

namespace quarnel::test {

// Dialogs answered from a script: each file dialog takes the next scripted answer (a cancel
// when the script has run out). Every message and dialog request is recorded.
class FakeDialogs : public Dialogs {
public:
    struct Message {
        std::string text;
        std::string title;
        bool operator==(const Message&) const = default;
        friend void PrintTo(const Message& m, std::ostream* out) {
            *out << '"' << m.text << "\" / \"" << m.title << '"';
        }
    };

    // Scripts a chosen file: path is the full path, the title is its last component.
    void choose(const std::string& path, int flags = 0) {
        FileDialogResult result;
        result.cancelled = false;
        result.path = path;
        result.title = path.substr(path.find_last_of("/\\") + 1);
        result.flags = flags;
        answers.push_back(result);
    }
    void cancel() { answers.push_back(FileDialogResult{}); }

    void message(std::string_view text, std::string_view title) override {
        messages.push_back({std::string(text), std::string(title)});
    }
    FileDialogResult fileDialog(const FileDialogRequest& request) override {
        requests.push_back(request);
        if (answers.empty())
            return FileDialogResult{};
        FileDialogResult next = answers.front();
        answers.pop_front();
        return next;
    }

    std::deque<FileDialogResult> answers;
    std::vector<Message> messages;
    std::vector<FileDialogRequest> requests;
};

} // namespace quarnel::test
