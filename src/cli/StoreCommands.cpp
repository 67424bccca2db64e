#include "Commands.h"
#include "store/RegistryFile.h"
#include "store/RememberedSettings.h"

#include <filesystem>
#include <ostream>

namespace quarnel::cli {

namespace {

// The store the window uses. A damaged file that had to be moved aside is worth a line on
// stderr even when the command then succeeds: the user's old settings are in that file.
OpenedRegistry openStore(Context& context) {
    OpenedRegistry store = openRegistry(defaultRegistryPath());
    for (const auto& note : store.notes)
        context.err << kProgram << ": " << note << "\n";
    return store;
}

} // namespace

void importConfig(const Arguments& args, Context& context) {
    SettingsForm form;
    formSettings(form, args, context);
    OpenedRegistry store = openStore(context);
    const std::string file =
        store.file.empty() ? defaultRegistryPath().string() : store.file.string();
    // Settings kept in memory for this run only would be lost at once: that is no import.
    if (!store.persistent())
        throw CommandError(file, "the settings store cannot be written");
    if (store.registry->readOnly())
        throw CommandError(file, "the settings store can only be read (the file or its folder "
                                 "is read-only); nothing was imported");
    try {
        rememberSettings(*store.registry, form, context.programFolder);
    } catch (const Error& e) {
        throw CommandError(file, e);
    }
}

void exportConfig(const Arguments& args, Context& context) {
    const std::string& out = args.positional.at(0);
    const std::filesystem::path storeFile = defaultRegistryPath();
    std::error_code ec;
    // Without a store yet there is nothing remembered: the first-run settings are written
    // and no store is created.
    const bool noStore = !std::filesystem::exists(storeFile, ec);
    if (ec)
        throw CommandError(storeFile.string(), ec.message());
    OpenedRegistry store;
    std::unique_ptr<MRegistry> empty;
    MRegistry* registry = nullptr;
    if (noStore) {
        empty = makeMemoryRegistry();
        registry = empty.get();
    } else {
        store = openStore(context);
        registry = store.registry.get();
    }
    try {
        exportRememberedSettings(*registry, context.programFolder, out, true);
    } catch (const Error& e) {
        throw CommandError(out, e);
    }
}

} // namespace quarnel::cli
