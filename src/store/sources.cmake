# The store has two halves built side by side: .cfg files and the remembered settings.
include(store/config.cmake OPTIONAL)
include(store/registry.cmake OPTIONAL)
