"""brenlow-trace.exe under Wine prints, byte for byte, what the Linux
brenlow-trace prints: the Windows builds compute the same bits (the i686
deliverable's SSE2 arithmetic included).

    trace_wine.py compare <brenlow-trace> <brenlow-trace.exe> <picture.bmp>"""

import itertools
import os
import shutil
import subprocess
import sys

from harness import check, run_case
from traces import FAMILIES
from winesession import WineSession

SIZES = ("640x480", "1023x767")
SEEDS = ("1", "2")


def case_compare(s, linux_trace, windows_trace, picture):
    shutil.copy(picture, os.path.join(s.drive_c(), "logo.bmp"))
    differ = []
    for family, size, seed in itertools.product(FAMILIES, SIZES, SEEDS):
        args = ["--size", size, "--shape", family, "--seed", seed]
        expected = subprocess.run([linux_trace, *args, "--picture", picture],
                                  capture_output=True, check=True, timeout=300).stdout
        p = s.start(windows_trace, *args, "--picture", "C:\\logo.bmp", cwd=s.drive_c(),
                    stdout=subprocess.PIPE)
        got, _ = p.communicate(timeout=300)
        what = f"{family} {size} seed {seed}"
        if p.returncode != 0 or got != expected:
            differ.append(what)
            first = next((i for i, (a, b) in enumerate(zip(got.splitlines(),
                                                           expected.splitlines())) if a != b),
                         None)
            print(f"{what}: exit {p.returncode}, {len(got)} bytes against {len(expected)}, "
                  f"first different line {first}")
        else:
            print(f"{what}: {len(expected)} bytes, identical")
    check(not differ, f"{len(differ)} traces differ: {differ}")


if __name__ == "__main__":
    sys.exit(run_case(globals(), lambda: WineSession("tools")))
