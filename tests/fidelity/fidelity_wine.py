"""The software raster against Wine's GDI: gdi_replay draws call lists with
GDI under Wine, fidelity_compare plays the same calls on SoftCanvas and
compares the pixels.

    fidelity_wine.py primitives COMPARE GDI_REPLAY.exe PICTURE.bmp
        every single-primitive case must agree exactly
    fidelity_wine.py cycles COMPARE GDI_REPLAY.exe BRENLOW_TRACE
        whole effect cycles of every family at 640x480 and 1920x1080, two
        seeds each; each case must agree on 99.9 % of its pixels (text is
        left out on both sides)

Files go to the working folder."""

import os
import subprocess
import sys

import winehelp


def replay(s, gdi_replay, *args):
    p = s.start(gdi_replay, *args, cwd=os.getcwd())
    code = s.wait_exit(p, 600)
    if code != 0:
        raise AssertionError(f"gdi_replay ended with {code}: {s.output(p).decode(errors='replace')}")


def compare(fidelity_compare, *args):
    r = subprocess.run([fidelity_compare, "compare", *args], timeout=600)
    if r.returncode != 0:
        raise AssertionError(f"fidelity_compare found differences (exit {r.returncode})")


def case_primitives(s, fidelity_compare, gdi_replay, picture):
    subprocess.run([fidelity_compare, "generate", "primitives.txt"], check=True, timeout=120)
    replay(s, gdi_replay, "--picture", picture, "primitives.txt", "primitives.gdi")
    compare(fidelity_compare, "primitives.txt", "primitives.gdi", "--picture", picture)


def case_cycles(s, fidelity_compare, gdi_replay, trace):
    with open("cycles.txt", "w") as cases:
        for shape in ("Cerchi", "Ellissi", "Ovali", "Quadrati", "Triangoli", "Casuali"):
            for size in ("640x480", "1920x1080"):
                for seed in ("1", "2"):
                    w, h = size.split("x")
                    cases.write(f"case {shape}/{size}/seed{seed}\nsize {w} {h}\n")
                    cases.flush()
                    subprocess.run([trace, "--size", size, "--shape", shape, "--seed", seed,
                                    "--cycles", "3"], stdout=cases, check=True, timeout=120)
    replay(s, gdi_replay, "cycles.txt", "cycles.gdi")
    compare(fidelity_compare, "cycles.txt", "cycles.gdi", "--min", "99.9")


if __name__ == "__main__":
    sys.exit(winehelp.run_case(globals(), lambda: winehelp.Session("fidelity")))
