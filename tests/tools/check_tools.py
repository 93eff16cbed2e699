#!/usr/bin/env python3
"""Runs brenlow-trace and brenlow-render as a user would and checks what they print."""
import itertools
import os
import pathlib
import re
import subprocess
import sys
import tempfile

from harness import check
from traces import DRAWS, FAMILIES, cycles, draws

BUILD = sys.argv[1]
TRACE = os.path.join(BUILD, "brenlow-trace")
RENDER = os.path.join(BUILD, "brenlow-render")

LINE = re.compile(
    r"^(cycle|check|factors [12] [12] [12]|shape [1-5]|fade [1-3]"
    r"|rect -?\d+ -?\d+ -?\d+ -?\d+ colour=\d+ rop=(1|5|13) width=1 fill=(solid|hollow)"
    r"|arc -?\d+ -?\d+ -?\d+ -?\d+ colour=\d+ rop=5 width=1"
    r"|line (\S+ ){4}colour=\d+ rop=(1|5) width=(1|7)"
    r"|copy (\S+ ){5}\S+"
    r"|text \S+ \S+ size=14 colour=16777215 .+)$")


def run(*command, code=0, stdout=subprocess.PIPE):
    result = subprocess.run(command, stdout=stdout, stderr=subprocess.PIPE, text=True,
                            timeout=300)
    check(result.returncode == code,
          f"{command}: exit {result.returncode}, not {code}: {result.stderr}")
    return result


def trace(*args):
    return run(TRACE, *args).stdout.splitlines()


def render(out, *args):
    """The names of the files brenlow-render wrote into out."""
    run(RENDER, *args, "--out", out)
    return sorted(os.listdir(out))


logo = os.path.join(BUILD, "BR_LOW.bmp")
# How many calls each family draws at each size is the unit tests'
# (Shapes.CallCountsFollowTheCanvasHeight).
for number, (name, kind) in enumerate(FAMILIES.items(), 1):
    lines = trace("--size", "640x480", "--shape", name, "--seed", "7", "--picture", logo)
    bad = [line for line in lines if not LINE.match(line)]
    check(not bad, f"{name}: lines out of format, first: {bad[:3]}")
    cycle, = cycles("\n".join(lines))
    check(f"shape {number}" in cycle["shapes"], f"{name}: no 'shape {number}'")
    shapes = draws(cycle["shapes"])
    check(shapes and all(line.startswith(kind + " ") for line in shapes),
          f"{name}: {len(shapes)} shapes, not all {kind} calls, first: {shapes[:2]}")
    # The wipe at 640x480: blinds of 481 rows, a bar in 361 steps, or 321
    # shrinking frames, all in ROP 1 (black).
    style = int(cycle["wipe"][0].split()[1])
    wipe = draws(cycle["wipe"])
    want = {1: ("line", 481), 2: ("line", 361), 3: ("rect", 321)}.get(style, ("?", -1))
    check(len(wipe) == want[1] and all(line.startswith(want[0] + " ") and " rop=1 " in line
                                       for line in wipe),
          f"{name}: fade {style} drew {len(wipe)} calls, want {want[1]} {want[0]} in ROP 1")
    check(any(line.startswith("copy ") for line in cycle["logo"]), f"{name}: logo not copied")

# Same seed, same calls; another seed, other factors or fade somewhere.
first = trace("--size", "320x240", "--shape", "Casuali", "--seed", "5", "--cycles", "3")
again = trace("--size", "320x240", "--shape", "Casuali", "--seed", "5", "--cycles", "3")
check(first == again, "trace is not repeatable for one seed")
check(first.count("cycle") == 3, "three cycles not traced")

# A folder that is missing is made.
with tempfile.TemporaryDirectory() as tmp:
    out = os.path.join(tmp, "new", "frames")
    frames = render(out, "--size", "320x240", "--shape", "Cerchi", "--seed", "2", "--picture",
                    logo)
    check(frames == ["Cerchi-1-fill.png", "Cerchi-2-shapes.png", "Cerchi-3-logo.png",
                     "Cerchi-4-fade.png"], f"render wrote {frames}")
    for frame in frames:
        with open(os.path.join(out, frame), "rb") as f:
            check(f.read(8) == b"\x89PNG\r\n\x1a\n", f"{frame} is not a PNG")

# The frame sequence: numbered frames, one every 1/fps seconds of the
# scripted clock and one every K drawing calls (as the trace counts them).
def sequence(fps, calls_per_frame):
    with tempfile.TemporaryDirectory() as out:
        names = render(out, "--size", "160x120", "--shape", "Ovali", "--seed", "2", "--fps",
                       str(fps), "--calls-per-frame", str(calls_per_frame))
        check(names == [f"Ovali-{i:04d}.png" for i in range(1, len(names) + 1)],
              f"sequence names {names[:3]}...")
        frames = [pathlib.Path(out, name).read_bytes() for name in names]
    return len(frames), max(len(list(same)) for _, same in itertools.groupby(frames))


drawing = sum(1 for line in trace("--size", "160x120", "--shape", "Ovali", "--seed", "2")
              if line == "cycle" or line.startswith(DRAWS))
at_10, still_10 = sequence(10, 50)
at_20, _ = sequence(20, 50)
finer, _ = sequence(10, 25)
check(finer - at_10 == drawing // 25 - drawing // 50,
      f"{finer - at_10} more frames at 25 calls a frame than at 50, {drawing} calls drawn")
# The holds last 2 to 4 s of the clock: 20 to 40 more frames at 20 fps.
check(20 <= at_20 - at_10 <= 41, f"{at_10} frames at 10 fps, {at_20} at 20 fps")
# The closing hold (2 to 3 s) is a run of unchanged frames.
check(still_10 >= 20, f"longest run of unchanged frames {still_10}")
# Bad arguments and a folder that cannot be made are told, with a non-zero
# code and nothing on stdout.
nowhere = ["--size", "64x48", "--out", "/dev/null/frames"]
for program, args, code, says in (
        (TRACE, ["--size", "oops"], 2, "usage"),
        (RENDER, [*nowhere, "--fps", "0"], 2, "usage"),
        (RENDER, [*nowhere, "--fps", "x"], 2, "usage"),
        (RENDER, [*nowhere, "--fps", "10", "--calls-per-frame", "0"], 2, "usage"),
        (RENDER, nowhere, 1, "/dev/null/frames")):
    result = run(program, *args, code=code)
    check(says in result.stderr and not result.stdout, f"{args}: {result.stderr}")

# A full disk cuts no trace silently.
with open("/dev/full", "wb") as full:
    result = run(TRACE, "--size", "64x48", "--shape", "Cerchi", code=1, stdout=full)
check("cannot write" in result.stderr, f"trace to a full disk: {result.stderr}")

print("brenlow-trace and brenlow-render: every check passed")
