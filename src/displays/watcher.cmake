# The watcher: the difference of two snapshots and the settling after a
# change build everywhere; the window that hears of changes is Windows only.
# The JSON of snapshots and changes (schema "vantrel-list") is here too, as it
# writes the watcher's changes as well as snapshots.
set(watcher_sources display_changes.cpp display_settle.cpp json.cpp)
if(WIN32)
  list(APPEND watcher_sources display_watcher_win32.cpp)
endif()
vantrel_layer(vantrel_displays_watcher EXPORT_NAME displays_watcher
  SOURCES ${watcher_sources}
  PUBLIC_HEADERS include/vantrel/displays/watcher.h include/vantrel/displays/json.h)
target_link_libraries(vantrel_displays_watcher PUBLIC vantrel_displays
  PRIVATE $<BUILD_INTERFACE:vantrel_base_internal>)
