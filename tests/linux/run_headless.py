#!/usr/bin/env python3
"""Runs the Linux saver on a virtual screen when there is no desktop:
screenshots every few seconds, then a sideways mouse move to end it.

    run_headless.py <brenlow> <shots folder> <seconds>"""

import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "wine", "lib"))
from harness import check  # noqa: E402
from saverrun import Saver  # noqa: E402
from xsession import XSession  # noqa: E402


def main():
    exe, shots, seconds = os.path.abspath(sys.argv[1]), sys.argv[2], float(sys.argv[3])
    os.makedirs(shots, exist_ok=True)
    with XSession() as session:
        # The user's own settings, as the saver would run on this desktop.
        saver = Saver(session, exe, keep_settings=True, cwd=os.getcwd())
        saver.wait_drawn()
        end = time.monotonic() + seconds
        n = 0
        while time.monotonic() < end:
            check(saver.alive(), f"the saver ended on its own, code {saver.p.returncode}")
            time.sleep(3)
            n += 1
            path = os.path.join(shots, f"shot-{n:02d}.png")
            session.screenshot(path)
            print(path, flush=True)
        latency = saver.end_by_move(17)
        print(f"the saver ended {latency:.3f} s after a sideways mouse move, exit code 0")
        return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except (AssertionError, RuntimeError) as e:
        print(f"run_headless: {e}", file=sys.stderr)
        sys.exit(1)
