#!/usr/bin/env python3
"""Fails when a process started by a test run is still alive once the run
is over: an X server, a wineserver, a saver or installer left behind by a
test that failed or was killed. A run marks its processes with the
environment variable BRENLOW_TEST_RUN, which every child inherits.

    check_leftovers.py RUN_ID [GRACE_SECONDS]"""

import os
import sys
import time


def marked(run_id):
    """{pid: command line} of the processes that carry the run's mark."""
    mine = set()
    pid = os.getpid()
    while pid > 1:  # this checker and the run that started it
        mine.add(pid)
        with open(f"/proc/{pid}/stat") as f:
            pid = int(f.read().rsplit(")", 1)[1].split()[1])
    mark = f"BRENLOW_TEST_RUN={run_id}".encode()
    found = {}
    for name in os.listdir("/proc"):
        if not name.isdigit() or int(name) in mine:
            continue
        try:
            with open(f"/proc/{name}/environ", "rb") as f:
                if mark not in f.read().split(b"\0"):
                    continue
            with open(f"/proc/{name}/cmdline", "rb") as f:
                command = f.read().replace(b"\0", b" ").decode(errors="replace")
                command = " ".join(command.split())
            with open(f"/proc/{name}/stat") as f:
                if f.read().rsplit(")", 1)[1].split()[0] == "Z":
                    continue  # already dead, waiting for its parent
        except OSError:
            continue  # gone meanwhile, or not ours to read
        found[int(name)] = command
    return found


def main():
    run_id = sys.argv[1]
    grace = float(sys.argv[2]) if len(sys.argv) > 2 else 15
    deadline = time.monotonic() + grace
    left = marked(run_id)
    while left and time.monotonic() < deadline:
        time.sleep(0.5)
        left = marked(run_id)
    for pid, command in sorted(left.items()):
        print(f"LEFT RUNNING: {pid} {command[:160]}")
    if left:
        print(f"{len(left)} processes started by the test run are still alive")
        return 1
    print("no process of the test run is left running")
    return 0


if __name__ == "__main__":
    sys.exit(main())
