#include "settings/SettingsForm.h"

#include "common/Error.h"
#include "game/Installation.h"
#include "game/MapFolder.h"

#include <algorithm>

namespace quarnel {

namespace {

[[noreturn]] void invalidProperty() {
    throw Error(errc::InvalidProperty, "Invalid property value");
}

} // namespace

std::string valueLabel(Scroll s, int value, bool dragging) {
    const auto& bar = control(s);
    std::string label = std::string(bar.caption) + " = " + std::to_string(value);
    label += bar.unit;
    if (dragging && bar.secondsWhileDragged)
        label += " sec.";
    return label;
}

SettingsForm::SettingsForm() : values_(ServerSettings::design()) {
    for (const auto& bar : kScrollControls)
        captions_[index(bar.id)] = std::string(bar.caption);
}

void SettingsForm::subscribe(Listener listener) {
    listeners_.push_back(std::move(listener));
}

void SettingsForm::notify(FormChange::Kind kind, int id) {
    for (const auto& listener : listeners_)
        listener(FormChange{kind, id});
}

void SettingsForm::applyFirstRunDefaults() {
    setChecked(Check::MapRotation, true);
    selectArena(0);
    selectGameType(2);
    setBotSkillText("Experienced");
}

void SettingsForm::setChecked(Check c, bool value) {
    if (values_.checks[index(c)] == value)
        return;
    values_.checks[index(c)] = value;
    notify(FormChange::Kind::Check, static_cast<int>(c));
    if (c == Check::UseBots)
        useBotsClicked();
    else if (c == Check::WebAdmin)
        webAdminClicked();
}

void SettingsForm::useBotsClicked() {
    const bool on = checked(Check::UseBots);
    enabled_.botSkillCheck = on;
    enabled_.botSkillList = on;
    enabled_.botSkillListColor = on ? BackColor::Window : BackColor::ButtonFace;
    enabled_.minPlayers = on;
    notify(FormChange::Kind::Enabled);
}

void SettingsForm::webAdminClicked() {
    enabled_.webAdminPort = checked(Check::WebAdmin);
    notify(FormChange::Kind::Enabled);
}

void SettingsForm::setText(Text t, std::string_view value) {
    auto& current = values_.texts[index(t)];
    if (current == value)
        return;
    current.assign(value);
    notify(FormChange::Kind::Text, static_cast<int>(t));
}

void SettingsForm::setScroll(Scroll s, int value) {
    const auto& bar = control(s);
    if (value < bar.min || value > bar.max)
        invalidProperty();
    if (values_.scrolls[index(s)] == value)
        return;
    values_.scrolls[index(s)] = value;
    notify(FormChange::Kind::Scroll, static_cast<int>(s));
    settleScroll(s);
}

void SettingsForm::dragScroll(Scroll s, int value) {
    const auto& bar = control(s);
    if (value < bar.min || value > bar.max)
        invalidProperty();
    if (values_.scrolls[index(s)] != value) {
        values_.scrolls[index(s)] = value;
        notify(FormChange::Kind::Scroll, static_cast<int>(s));
    }
    captions_[index(s)] = valueLabel(s, value, true);
    notify(FormChange::Kind::Caption, static_cast<int>(s));
}

void SettingsForm::settleScroll(Scroll s) {
    captions_[index(s)] = valueLabel(s, scroll(s));
    notify(FormChange::Kind::Caption, static_cast<int>(s));
}

void SettingsForm::selectGameType(int idx) {
    if (idx < 0 || idx >= kGameTypeCount)
        invalidProperty();
    if (values_.gameType == idx)
        return;
    values_.gameType = idx;
    notify(FormChange::Kind::GameType);
    gameTypeClicked(idx);
}

void SettingsForm::gameTypeClicked(int idx) {
    const std::string maps = gameFolder_.empty() ? std::string() : game::mapsFolder(gameFolder_);
    std::string folder = game::folderExists(maps) ? maps : game::currentFolder();
    if (idx < 0 || idx >= kGameTypeCount) {
        readMapFolder(std::move(folder), values_.maps.pattern);
        return;
    }
    readMapFolder(std::move(folder),
                  std::string(kGameTypes[static_cast<std::size_t>(idx)].pattern));
    enabled_.customGameType = idx == kGameTypeOther;
    notify(FormChange::Kind::Enabled);
}

void SettingsForm::selectArena(int idx) {
    if (idx < 0 || idx >= kArenaCount)
        invalidProperty();
    if (values_.arena == idx)
        return;
    values_.arena = idx;
    notify(FormChange::Kind::Arena);
}

void SettingsForm::setBotSkillText(std::string_view text) {
    for (std::size_t i = 0; i < kBotSkills.size(); ++i) {
        if (kBotSkills[i] == text) {
            setBotSkillIndex(static_cast<int>(i));
            return;
        }
    }
    invalidProperty();
}

void SettingsForm::setBotSkillIndex(int idx) {
    if (idx < -1 || idx >= static_cast<int>(kBotSkills.size()))
        invalidProperty();
    if (values_.botSkill == idx)
        return;
    values_.botSkill = idx;
    notify(FormChange::Kind::BotSkill);
}

void SettingsForm::loadAtOnce(const std::function<void()>& load) {
    if (loadFolders_) { // within another load: its folders stay read
        load();
        return;
    }
    loadFolders_.emplace();
    try {
        load();
    } catch (...) {
        loadFolders_.reset();
        throw;
    }
    loadFolders_.reset();
}

void SettingsForm::readMapFolder(std::string folder, std::string pattern) {
    auto& list = values_.maps;
    if (loadFolders_) {
        auto read = std::find_if(loadFolders_->begin(), loadFolders_->end(),
                                 [&folder](const ReadFolder& r) { return r.folder == folder; });
        if (read == loadFolders_->end())
            read = loadFolders_->insert(read, {folder, game::folderFiles(folder)});
        list.entries = game::sortedMatches(read->files, pattern);
    } else {
        list.entries = game::listFolder(folder, pattern);
    }
    list.selected.assign(list.entries.size(), false);
    list.folder = std::move(folder);
    list.pattern = std::move(pattern);
    notify(FormChange::Kind::MapList);
}

void SettingsForm::setMapFolder(std::string folder) {
    readMapFolder(std::move(folder), values_.maps.pattern);
}

void SettingsForm::setMapPattern(std::string pattern) {
    readMapFolder(values_.maps.folder, std::move(pattern));
}

void SettingsForm::setMapSelected(std::size_t entry, bool selected) {
    auto& flags = values_.maps.selected;
    if (entry >= flags.size())
        invalidProperty();
    if (flags[entry] == selected)
        return;
    flags[entry] = selected;
    notify(FormChange::Kind::MapList, static_cast<int>(entry));
}

void SettingsForm::setMapSelection(std::vector<bool> selected) {
    auto& flags = values_.maps.selected;
    if (selected.size() != flags.size())
        invalidProperty();
    if (selected == flags)
        return;
    flags = std::move(selected);
    notify(FormChange::Kind::MapList);
}

void SettingsForm::selectAllMaps() {
    setMapSelection(std::vector<bool>(values_.maps.count(), true));
}

void SettingsForm::clearAllMaps() {
    setMapSelection(std::vector<bool>(values_.maps.count(), false));
}

void SettingsForm::setGameTypeEnabled(int idx, bool on) {
    if (idx < 0 || idx >= kGameTypeCount)
        invalidProperty();
    enabled_.gameTypes[static_cast<std::size_t>(idx)] = on;
    notify(FormChange::Kind::Enabled);
}

void SettingsForm::offerBonusPackTypes(bool present) {
    for (int type : {7, 6, 5})
        setGameTypeEnabled(type, false);
    if (present)
        for (int type : {7, 6, 5})
            setGameTypeEnabled(type, true);
}

void SettingsForm::bringPanelsInStep() {
    useBotsClicked();
    webAdminClicked();
    for (Scroll bar :
         {Scroll::AirControl, Scroll::FriendlyFire, Scroll::GameSpeed, Scroll::MaxSpectators,
          Scroll::MaxPlayers, Scroll::NetStartDelay, Scroll::MinPlayers, Scroll::SpawnProtection})
        settleScroll(bar);
}

void SettingsForm::setGameFolder(std::string path) {
    gameFolder_ = std::move(path);
    notify(FormChange::Kind::FormVariables);
}

void SettingsForm::setAppFolder(std::string path) {
    appFolder_ = std::move(path);
    notify(FormChange::Kind::FormVariables);
}

void SettingsForm::setGame(int idx) {
    game_ = idx;
    notify(FormChange::Kind::FormVariables);
}

} // namespace quarnel
