#!/usr/bin/env python3
"""Runs the Linux saver on a virtual screen when there is no desktop:
screenshots every few seconds, then a sideways mouse move to end it.

    run_headless.py <brenlow> <shots folder> <seconds>"""

import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "wine", "lib"))
import winehelp  # noqa: E402


def main():
    exe, shots, seconds = os.path.abspath(sys.argv[1]), sys.argv[2], float(sys.argv[3])
    os.makedirs(shots, exist_ok=True)
    with winehelp.XSession() as session:
        saver = session.start(exe, "/S", stdout=sys.stdout)
        end = time.monotonic() + seconds
        n = 0
        while time.monotonic() < end and saver.poll() is None:
            time.sleep(3)
            n += 1
            path = os.path.join(shots, f"shot-{n:02d}.png")
            session.screenshot(path)
            print(path, flush=True)
        if saver.poll() is not None:
            print(f"the saver ended on its own, exit code {saver.returncode}")
            return 1
        session.mouse_move(17, 5)
        code = session.wait_exit(saver, 30)
        print(f"the saver ended on a sideways mouse move, exit code {code}")
        return code


if __name__ == "__main__":
    sys.exit(main())
