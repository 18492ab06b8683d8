# The watcher: the difference and settling logic natively; the watcher itself
# under Wine on the three-monitor layout.
