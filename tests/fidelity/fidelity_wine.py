"""The software raster against Wine's GDI: gdi_replay draws call lists with
GDI under Wine, fidelity_compare plays them on SoftCanvas; the pixels must
agree exactly, for every single primitive and for each moment of whole
cycles (text left out). Files go to the working folder.

    fidelity_wine.py primitives COMPARE GDI_REPLAY.exe PICTURE.bmp
    fidelity_wine.py cycles COMPARE GDI_REPLAY.exe BRENLOW_TRACE PICTURE.bmp"""

import os
import subprocess
import sys

from harness import check, run_case
from traces import FAMILIES, WIPES, cycles
from winesession import WineSession


def replay_and_compare(s, fidelity_compare, gdi_replay, picture, calls):
    gdi = calls.replace(".txt", ".gdi")
    s.finished(gdi_replay, "--picture", picture, calls, gdi, cwd=os.getcwd(), timeout=600)
    r = subprocess.run([fidelity_compare, "compare", calls, gdi, "--picture", picture],
                       timeout=600)
    check(r.returncode == 0, f"fidelity_compare found differences (exit {r.returncode})")


def case_primitives(s, fidelity_compare, gdi_replay, picture):
    subprocess.run([fidelity_compare, "generate", "primitives.txt"], check=True, timeout=120)
    replay_and_compare(s, fidelity_compare, gdi_replay, picture, "primitives.txt")


def case_cycles(s, fidelity_compare, gdi_replay, trace, picture):
    # Every family at both sizes; more seeds and cycles at the small size,
    # where a case costs a ninth.
    runs = [("640x480", "1", "2"), ("640x480", "2", "1"), ("1920x1080", "1", "1")]
    with open("cycles.txt", "w") as cases:
        for shape in (*FAMILIES, "Casuali"):
            for size, seed, count in runs:
                w, h = size.split("x")
                out = subprocess.run([trace, "--size", size, "--shape", shape, "--seed", seed,
                                      "--cycles", count, "--picture", picture],
                                     stdout=subprocess.PIPE, check=True, timeout=120).stdout
                background = "black"
                for n, cycle in enumerate(cycles(out.decode()), 1):
                    check(any(line.startswith("copy ") for line in cycle["logo"]),
                          f"{shape}/{size}: no logo drawn from {picture}")
                    # The wipe is cut once more in the middle.
                    wipe = cycle.pop("wipe")
                    calls = [i for i, line in enumerate(wipe) if line.startswith(WIPES)]
                    half = calls[len(calls) // 2]
                    for name, lines in (*cycle.items(), ("half-wiped", wipe[:half]),
                                        ("wiped", wipe[half:])):
                        cases.write(f"case {shape}/{size}/seed{seed}/cycle{n}/{name}\n"
                                    f"size {w} {h}\nbackground {background}\n")
                        cases.write("\n".join(lines) + "\n")
                        background = "previous"
    replay_and_compare(s, fidelity_compare, gdi_replay, picture, "cycles.txt")
    # Hundreds of megabytes of pixels, kept only to look into a failure.
    os.remove("cycles.gdi")


if __name__ == "__main__":
    sys.exit(run_case(globals(), lambda: WineSession("fidelity")))
