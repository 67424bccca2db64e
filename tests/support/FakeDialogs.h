#pragma once

#include "app/Dialogs.h"

#include <deque>
#include <ostream>
#include <string>
#include <vector>

namespace quarnel::test {

// Dialogs answered from a script: each file dialog takes the next scripted answer (a cancel
// when the script has run out), each question the next scripted reply (going on when the
// script has run out, as the program did before it asked). Every message, question and
// dialog request is recorded.
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

    bool ask(std::string_view text, std::string_view title, std::string_view goOn,
             std::string_view stop) override {
        questions.push_back(
            {std::string(text), std::string(title), std::string(goOn), std::string(stop)});
        if (replies.empty())
            return true;
        const bool next = replies.front();
        replies.pop_front();
        return next;
    }

    struct Question {
        std::string text;
        std::string title;
        std::string goOn;
        std::string stop;
    };

    std::deque<FileDialogResult> answers;
    std::deque<bool> replies;
    std::vector<Question> questions;
    std::vector<Message> messages;
    std::vector<FileDialogRequest> requests;
};

} // namespace quarnel::test
