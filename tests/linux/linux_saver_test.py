"""End-to-end tests of the Linux build of brenlow under Xvfb: the same
cases as the Windows build's under Wine.

    python3 linux_saver_test.py <case> <brenlow>
    python3 linux_saver_test.py grabbed_in_hold <perf_hold>"""

import calendar
import itertools
import sys
import time

import saver_test
from harness import check, poll, run_case
from images import black, tiles
from linux_session import LinuxSession
from saverrun import CYCLE, Saver, put_logo

FAKETIME = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1"


def case_daylight_saving(session, exe):
    """Rome's clocks go back an hour at 03:00 on 25 October 2026, while the
    saver runs: its holds still end and the screen keeps changing."""
    fall_back = calendar.timegm((2026, 10, 25, 1, 0, 0))  # 03:00 CEST
    offset = int(fall_back - 6 - time.time())  # the clock starts at 02:59:54
    env = {"TZ": "Europe/Rome", "LD_PRELOAD": FAKETIME, "FAKETIME": f"{offset:+d}",
           "FAKETIME_DONT_FAKE_MONOTONIC": "1"}
    saver = Saver(session, exe, put_logo(session), "Quadrati", env=env)
    saver.wait(tiles, CYCLE, "tiles")
    poll(lambda: time.time() + offset > fall_back + 1, 60, 0.1, "the clock's step back")
    # A hold that waited for the clock to climb back would hold one picture
    # for an hour: two whole cycles must follow within a minute.
    for n in (1, 2):
        saver.wait(black, 60, f"black after the step back ({n})")
        saver.wait(tiles, 60, f"tiles after the step back ({n})")
    saver.end_by_move(40)
    print("two cycles after the clock stepped back an hour; a move ended it with 0")


def case_grabbed_in_hold(session, hold):
    """A sideways move ends a hold: one over the saver's window, which the
    window hears of, and one while another program has grabbed the pointer,
    which only a look at the cursor can see."""
    for grabbed in (False, True):
        what = "grabbed by another program" if grabbed else "over the saver's window"
        session.mouse_move(100, 300)
        p = session.start(hold)
        poll(lambda: "holding" in session.output(p) or p.poll() is not None, 60, 0.05, "the hold")
        if grabbed:
            session.host_window(1, 1, 0, 0).grab()
        moves = itertools.cycle((700, 600))
        session.until(lambda: session.mouse_move(next(moves), 300), session.exited(p), 30,
                      f"the end of the hold ({what})")
        out = session.output(p)
        check(p.returncode == 0 and "noticed" in out, f"{what}: code {p.returncode}, {out!r}")
        print(f"pointer {what}: the move ended the hold with 0")


if __name__ == "__main__":
    cases = {name: f for name, f in vars(saver_test).items()
             if name.startswith("case_") and name != "case_bad_pictures"}
    cases.update(case_daylight_saving=case_daylight_saving,
                 case_grabbed_in_hold=case_grabbed_in_hold)
    sys.exit(run_case(cases, lambda: saver_test.session_for(sys.argv[1], LinuxSession)))
