#!/usr/bin/env python3
"""Fails when a process marked with the test run's BRENLOW_TEST_RUN (which
every child inherits) is still alive once the run is over.

    check_leftovers.py RUN_ID [GRACE_SECONDS]"""

import contextlib
import os
import sys

import psutil

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "wine", "lib"))
from harness import Timeout, poll  # noqa: E402
from reaper import marked_processes  # noqa: E402


def marked(run_id):
    # This checker and the run that started it.
    mine = {os.getpid(), *(p.pid for p in psutil.Process().parents())}
    return {pid: command.strip() for pid, command in
            marked_processes(f"BRENLOW_TEST_RUN={run_id}").items() if pid not in mine}


def main():
    run_id = sys.argv[1]
    grace = float(sys.argv[2]) if len(sys.argv) > 2 else 15
    with contextlib.suppress(Timeout):
        poll(lambda: not marked(run_id), grace, 0.5, "the run's processes to end")
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
