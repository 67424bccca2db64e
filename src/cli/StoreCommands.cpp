#include "Commands.h"
#include "store/RememberedSettings.h"
#include "store/SystemStore.h"

#include <ostream>

namespace quarnel::cli {

namespace {

// The store the window uses. A damaged file that had to be moved aside is worth a line on
// stderr even when the command then succeeds: the user's old settings are in that file.
OpenedStore openStore(Context& context) {
    OpenedStore store = openSystemStore();
    for (const auto& note : store.notes)
        context.err << kProgram << ": " << note << "\n";
    return store;
}

} // namespace

void importConfig(const Arguments& args, Context& context) {
    SettingsForm form;
    formSettings(form, args, context);
    OpenedStore store = openStore(context);
    // Settings kept in memory for this run only would be lost at once: that is no import.
    if (!store.persistent)
        throw CommandError(store.location, "the settings store cannot be written");
    if (store.registry->readOnly())
        throw CommandError(store.location, "the settings store can only be read (the file or "
                                           "its folder is read-only); nothing was imported");
    try {
        rememberSettings(*store.registry, form, context.programFolder);
    } catch (const Error& e) {
        throw CommandError(store.location, e);
    }
}

void exportConfig(const Arguments& args, Context& context) {
    const std::string& out = args.positional.at(0);
    // Without a store yet there is nothing remembered: the first-run settings are written
    // and no store is created.
    bool noStore = false;
    try {
        noStore = !systemStoreExists();
    } catch (const Error& e) {
        throw CommandError(systemStoreLocation(), e.what());
    }
    OpenedStore store;
    if (noStore)
        store.registry = makeMemoryRegistry();
    else
        store = openStore(context);
    try {
        exportRememberedSettings(*store.registry, context.programFolder, out, true);
    } catch (const Error& e) {
        throw CommandError(out, e);
    }
}

} // namespace quarnel::cli
