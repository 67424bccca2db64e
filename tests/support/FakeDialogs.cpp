#include "FakeDialogs.h"

namespace quarnel::test {

void FakeDialogs::message(std::string_view text, std::string_view title) {
    messages.push_back({std::string(text), std::string(title)});
}

FileDialogResult FakeDialogs::fileDialog(const FileDialogRequest& request) {
    fileRequests.push_back(request);
    if (answers_.empty())
        return {};
    FileDialogResult result = std::move(answers_.front());
    answers_.pop_front();
    return result;
}

} // namespace quarnel::test
