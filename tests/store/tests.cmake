include(store/config.cmake OPTIONAL)
include(store/registry.cmake OPTIONAL)
