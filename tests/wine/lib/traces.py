"""brenlow-trace's output cut into each cycle's moments."""

import re

from harness import check

# The line that ends each moment of a cycle; the wipe runs to the cycle's end.
ENDS = (("fill", "factors"), ("shapes", "text "), ("logo", "fade "))
DRAWS = ("rect ", "arc ", "line ", "copy ", "text ")
WIPES = ("line ", "rect ")  # the calls a wipe draws
# The shape families in ShapeChoice's order (1 to 5), each with the call it draws.
FAMILIES = {"Ovali": "arc", "Quadrati": "line", "Triangoli": "line", "Cerchi": "arc",
            "Ellissi": "arc"}


def cycles(trace):
    """{moment: its lines} for each cycle of a trace: fill, shapes, logo and
    wipe (from its "fade N" line). A moment that is missing is an error,
    not a pass."""
    before, *found = re.split(r"^(?=cycle$)", trace, flags=re.M)
    check(not before, f"trace does not start with a cycle: {before[:80]!r}")
    for n, text in enumerate(found, 1):
        lines, cycle, start = text.splitlines(), {}, 0
        for name, marker in ENDS:
            end = next((i for i in range(start, len(lines)) if lines[i].startswith(marker)), None)
            check(end is not None, f"cycle {n} has no {marker.strip()!r} line")
            cycle[name], start = lines[start:end], end
        cycle["wipe"] = lines[start:]
        check(any(line.startswith(WIPES) for line in cycle["wipe"]),
              f"cycle {n} has no wipe")
        yield cycle


def draws(lines):
    """The drawing calls among a moment's lines."""
    return [line for line in lines if line.startswith(DRAWS)]
