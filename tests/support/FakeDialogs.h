#pragma once

#include "app/Dialogs.h"

#include <deque>
#include <ostream>
#include <string>
#include <vector>

namespace quarnel::test {

// Dialogs answered from a script, recording all they are asked: a file dialog takes the next
// answer (else a cancel; choose() scripts a file, titled by the path's last part), a question
// the next reply (else going on).
class FakeDialogs : public Dialogs {
public:
    struct Message {
        std::string text, title;
        bool operator==(const Message&) const = default;
        friend void PrintTo(const Message& m, std::ostream* out) {
            *out << '"' << m.text << "\" / \"" << m.title << '"';
        }
    };
    struct Question {
        std::string text, title, goOn, stop;
    };

    void choose(const std::string& path, int flags = 0) {
        answers.push_back({false, path, path.substr(path.find_last_of("/\\") + 1), flags});
    }
    void cancel() { answers.emplace_back(); }

    void message(std::string_view text, std::string_view title) override {
        messages.push_back({std::string(text), std::string(title)});
    }
    FileDialogResult fileDialog(const FileDialogRequest& request) override {
        requests.push_back(request);
        return next(answers, FileDialogResult{});
    }
    bool ask(std::string_view text, std::string_view title, std::string_view goOn,
             std::string_view stop) override {
        questions.push_back(
            {std::string(text), std::string(title), std::string(goOn), std::string(stop)});
        return next(replies, true);
    }

    std::deque<FileDialogResult> answers;
    std::deque<bool> replies;
    std::vector<Question> questions;
    std::vector<Message> messages;
    std::vector<FileDialogRequest> requests;

private:
    template <class T> static T next(std::deque<T>& script, T otherwise) {
        if (!script.empty()) {
            otherwise = script.front();
            script.pop_front();
        }
        return otherwise;
    }
};

} // namespace quarnel::test
