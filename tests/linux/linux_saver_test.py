"""End-to-end tests of the Linux build of brenlow under Xvfb: the same
cases as the Windows build's under Wine.

    python3 linux_saver_test.py <case> <brenlow>"""

import sys

import saver_test
import winehelp
from linux_session import LinuxSession

if __name__ == "__main__":
    cases = {name: f for name, f in vars(saver_test).items()
             if name.startswith("case_") and name != "case_configure"}
    if sys.argv[1:2] == ["two_monitors"]:
        make = lambda: LinuxSession(saver_test.MONITOR_W, saver_test.MONITOR_H, monitors=2)
    elif sys.argv[1:2] == ["display_change"]:
        make = lambda: LinuxSession(saver_test.MONITOR_W, saver_test.MONITOR_H, monitors=2,
                                    modes=[(saver_test.LARGE_W, saver_test.LARGE_H)])
    else:
        make = LinuxSession
    sys.exit(winehelp.run_case(cases, make))
