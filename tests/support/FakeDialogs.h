#pragma once

#include "app/Dialogs.h"

#include <deque>
#include <string>
#include <vector>

namespace quarnel::test {

// Answers dialogs from a script and records what was shown.
class FakeDialogs : public Dialogs {
public:
    struct Message {
        std::string text;
        std::string title;
        bool operator==(const Message&) const = default;
    };

    void message(std::string_view text, std::string_view title) override;
    FileDialogResult fileDialog(const FileDialogRequest& request) override;

    // The answers of the next file dialogs, in order; a dialog without one is cancelled.
    void answerFileDialog(FileDialogResult result) { answers_.push_back(std::move(result)); }

    std::vector<Message> messages;
    std::vector<FileDialogRequest> fileRequests;

private:
    std::deque<FileDialogResult> answers_;
};

} // namespace quarnel::test
