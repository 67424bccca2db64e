#include "settings/ServerSettings.h"

#include "common/Text.h"

#include <algorithm>

namespace quarnel {

std::string mapName(std::string_view entry) {
    return removeAll(entry, ".ut2");
}

std::string mapEntryOf(std::string_view name) {
    return std::string(name) + ".ut2";
}

std::size_t MapList::selectedCount() const {
    return static_cast<std::size_t>(std::count(selected.begin(), selected.end(), true));
}

std::optional<std::size_t> MapList::startingEntry() const {
    if (entries.empty())
        return std::nullopt;
    const auto first = std::find(selected.begin(), selected.end(), true);
    return first == selected.end() ? 0 : static_cast<std::size_t>(first - selected.begin());
}

ServerSettings ServerSettings::design() {
    ServerSettings s;
    for (const auto& text : kTextControls)
        s.texts[index(text.id)] = std::string(text.designText);
    for (const auto& scroll : kScrollControls)
        s.scrolls[index(scroll.id)] = scroll.designValue;
    return s;
}

std::string_view ServerSettings::botSkillText() const {
    return botSkill < 0 ? std::string_view{} : kBotSkills[static_cast<std::size_t>(botSkill)];
}

} // namespace quarnel
