# The watcher under Wine on the three-monitor layout: the time from Wine's
# broadcast to the callback, and wake-ups while idle:
#   tests/e2e/run-on-layout.sh build/bench-windows/bench/watcher_bench.exe three
add_executable(watcher_bench watcher_bench.cpp)
target_link_libraries(watcher_bench PRIVATE vantrel_display_watcher vantrel_window_probe)
