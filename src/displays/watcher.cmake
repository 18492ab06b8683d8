# The watcher: the difference of two snapshots, the settling after a change,
# and the watcher that drives it with the events of the seam's event source,
# on every system. The JSON of snapshots and changes (schema "vantrel-list")
# is here too, as it writes the watcher's changes as well as snapshots.
vantrel_layer(vantrel_displays_watcher EXPORT_NAME displays_watcher
  SOURCES display_changes.cpp display_settle.cpp display_watcher.cpp json.cpp
  PUBLIC_HEADERS include/vantrel/displays/watcher.h include/vantrel/displays/json.h)
target_link_libraries(vantrel_displays_watcher PUBLIC vantrel_displays
  PRIVATE $<BUILD_INTERFACE:vantrel_base_internal>)
