"""End-to-end tests of the Linux build of brenlow under Xvfb: the same
cases as the Windows build's under wine.

    python3 linux_saver_test.py <case> <brenlow>"""

import os
import sys

import saver_test
from linux_session import LinuxSession

CASES = ("quiet_modes", "cycle", "sideways_in_hold", "sideways_while_drawing",
         "vertical_then_key", "bad_pictures")


def main():
    case, exe = sys.argv[1], os.path.abspath(sys.argv[2])
    if case not in CASES or not os.path.exists(exe):
        print(f"usage: {sys.argv[0]} {'|'.join(CASES)} <brenlow>")
        return 2
    with LinuxSession() as session:
        try:
            getattr(saver_test, "case_" + case)(session, exe)
        except AssertionError:
            session.screenshot(os.path.join(os.getcwd(), f"linux-{case}-failure.ppm"))
            raise
    return 0


if __name__ == "__main__":
    sys.exit(main())
