# The watcher under Wine on the three-monitor layout: the time from the
# change to the callback against the floor (a bare program reading until it
# sees the final layout), and wake-ups while idle:
#   tests/e2e/run-on-layout.sh build/bench-windows/bench/watcher_bench.exe three
add_executable(watcher_bench watcher_bench.cpp)
target_link_libraries(watcher_bench PRIVATE vantrel_displays_watcher vantrel_testing_probe user32
                      gdi32 shcore)
