"""The software raster against Wine's GDI: gdi_replay draws call lists with
GDI under Wine, fidelity_compare plays them on SoftCanvas; the pixels must
agree exactly, for every single primitive and for each moment of whole
cycles (text left out). Files go to the working folder.

    fidelity_wine.py primitives COMPARE GDI_REPLAY.exe PICTURE.bmp
    fidelity_wine.py cycles COMPARE GDI_REPLAY.exe BRENLOW_TRACE PICTURE.bmp"""

import os
import re
import subprocess
import sys

from harness import check, run_case
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


# The trace lines that end each moment of a cycle, in order; the wipe's
# calls are cut once more in the middle.
MOMENTS = (("fill", "factors"), ("shapes", "text "), ("logo", "fade "))


def moments(trace):
    """Cuts a trace into (moment name, call lines), every cycle's moments in
    order; a moment that is missing is an error, not a pass."""
    before, *cycles = re.split(r"^(?=cycle$)", trace, flags=re.M)
    check(not before, f"trace does not start with a cycle: {before[:80]!r}")
    for n, cycle in enumerate(cycles, 1):
        lines = cycle.splitlines()
        start = 0
        for name, marker in MOMENTS:
            end = next((i for i in range(start, len(lines)) if lines[i].startswith(marker)), None)
            check(end is not None, f"cycle {n} has no {marker.strip()!r} line")
            yield f"cycle{n}/{name}", lines[start:end]
            start = end
        wipe = [i for i in range(start, len(lines)) if lines[i].startswith(("line ", "rect "))]
        check(wipe, f"cycle {n} has no wipe")
        half = wipe[len(wipe) // 2]
        yield f"cycle{n}/half-wiped", lines[start:half]
        yield f"cycle{n}/wiped", lines[half:]


def case_cycles(s, fidelity_compare, gdi_replay, trace, picture):
    # Every family at both sizes; more seeds and cycles at the small size,
    # where a case costs a ninth.
    runs = [("640x480", "1", "2"), ("640x480", "2", "1"), ("1920x1080", "1", "1")]
    with open("cycles.txt", "w") as cases:
        for shape in ("Cerchi", "Ellissi", "Ovali", "Quadrati", "Triangoli", "Casuali"):
            for size, seed, cycles in runs:
                w, h = size.split("x")
                out = subprocess.run([trace, "--size", size, "--shape", shape, "--seed", seed,
                                      "--cycles", cycles, "--picture", picture],
                                     stdout=subprocess.PIPE, check=True, timeout=120).stdout
                background = "black"
                for name, lines in moments(out.decode()):
                    copies = sum(line.startswith("copy ") for line in lines)
                    check(copies or not name.endswith("/logo"),
                          f"{shape}/{size}: no logo drawn from {picture}")
                    cases.write(f"case {shape}/{size}/seed{seed}/{name}\nsize {w} {h}\n"
                                f"background {background}\n")
                    cases.write("\n".join(lines) + "\n")
                    background = "previous"
    replay_and_compare(s, fidelity_compare, gdi_replay, picture, "cycles.txt")
    # Hundreds of megabytes of pixels, kept only to look into a failure.
    os.remove("cycles.gdi")


if __name__ == "__main__":
    sys.exit(run_case(globals(), lambda: WineSession("fidelity")))
