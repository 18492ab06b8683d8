# The display facts: natively against the simulated facts service; under Wine
# against the real user32 on the three-monitor layout.
