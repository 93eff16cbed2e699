#!/usr/bin/env python3
"""brenlow's performance figures as one table: the median of three runs or
more, its spread, the reference measured in the same run and the goal.

    perf_report.py [--quick] [--runs N] [--build DIR] [--source DIR] [--only SECTIONS]

SECTIONS: size,draw,replay,hold,saver,installed,startup,wayland. "installed"
compares each family's CPU with its floor, the same calls replayed through
Wine's GDI; "wayland" is the saver and the idle service on headless sway.
--quick (ctest) only shows the script works. Wine figures use the win32
build, or win64 where 32-bit programs cannot run. CPU times are the kernel's
per-thread run time (schedstat), not its 4-ms ticks."""

import argparse
import contextlib
import os
import random
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time

import psutil

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "wine", "lib"))
sys.path.insert(0, os.path.join(HERE, "..", "linux"))
from harness import Timeout, poll  # noqa: E402
from images import tiles  # noqa: E402
from linux_session import LinuxSession  # noqa: E402
from pe import win32_support  # noqa: E402
from reaper import cpu_seconds  # noqa: E402
from sway_session import SwaySession  # noqa: E402
from traces import FAMILIES, cycles, draws  # noqa: E402
from winesession import WineSession  # noqa: E402

SIZES = [(640, 480), (1920, 1080), (3840, 2160)]
SHAPES = sorted(FAMILIES)
EFFECTS = ["Sfondo"] + SHAPES + ["DisegnaLogo", "Fade1", "Fade2", "Fade3"]
# Frame budget of one effect, ms, by canvas.
BUDGET_MS = {"1920x1080": 40, "3840x2160": 160}

rows = []  # (figure, median, spread, reference, goal, met)


def add(figure, value, spread="", reference="", goal="", met=""):
    rows.append((figure, value, spread, reference, goal, met))
    print(f"  {figure}: {value} {spread} {reference}", file=sys.stderr, flush=True)


def fmt_ms(v):
    return f"{v:.3f} ms" if v < 1 else f"{v:.2f} ms" if v < 100 else f"{v:.0f} ms"


def spread(values, fmt):
    return f"{fmt(min(values))} – {fmt(max(values))} (n={len(values)})"


def yes_no(ok):
    return "yes" if ok else "**no**"


def pct(v):
    return f"{v:.2f} %"


def add_median(figure, values, fmt, reference="", goal="", met=None):
    median = statistics.median(values)
    add(figure, fmt(median), spread(values, fmt), reference, goal, yes_no(met(median)) if met
        else "")


# --- sizes -----------------------------------------------------------------

def section_size(a):
    for name in ("brenlow.scr", "quillet.exe"):
        path = os.path.join(a.source, "build", "win32", name)
        size = os.path.getsize(path) if os.path.exists(path) else None
        add(f"win32 {name} size", f"{size / 1024:.0f} KB" if size else "not built", "", "",
            "< 400 KB", yes_no(size < 400 * 1024) if size else "")


# --- the same call streams, software canvas and Wine's GDI ------------------

def effect_streams(a, size, picture):
    """Each effect's calls at one size: {effect: [lines]}."""
    streams = {}
    for shape in SHAPES:
        for count in range(1, 10):
            out = subprocess.run([os.path.join(a.build, "brenlow-trace"), "--size",
                                  f"{size[0]}x{size[1]}", "--shape", shape, "--picture", picture,
                                  "--cycles", str(count)], capture_output=True, text=True,
                                 check=True).stdout
            for cycle in cycles(out):
                for effect, moment in (("Sfondo", "fill"), (shape, "shapes"),
                                       ("DisegnaLogo", "logo"),
                                       ("Fade" + cycle["wipe"][0].split()[1], "wipe")):
                    streams.setdefault(effect, draws(cycle[moment]))
            # The last shape's run goes on until every wipe has been seen.
            if shape != SHAPES[-1] or all(f"Fade{i}" in streams for i in (1, 2, 3)):
                break
    return streams


def parse_times(text):
    """name -> cpu ns per call, from gdi_replay --time / perf_replay output."""
    pattern = r"^(\S+) wall [\d.]+ ns/call cpu ([\d.]+) ns/call \(\d+ calls\)"
    return {m[1]: float(m[2]) for m in re.finditer(pattern, text, re.M)}


def section_replay(a, sizes, picture, wine_session, memset=None):
    """ms per pass of each effect's stream, one list entry per round:
    {(effect, size): (soft ms list, gdi ms list, calls)}. Soft and GDI
    alternate round by round, so a busy moment hits both sides. memset, when
    given, gets {(effect, size): [the soft side's share of memset speed]}."""
    work = tempfile.mkdtemp(prefix="brenlow-perf-")
    cases = os.path.join(work, "effects.txt")
    per_pass = {}
    with open(cases, "w") as f:
        for size in sizes:
            label = f"{size[0]}x{size[1]}"
            streams = effect_streams(a, size, picture)
            # A cut in the wrong place would time the wrong calls.
            missing = set(EFFECTS) - set(streams)
            tiles = (size[1] // 100 + 1) * (size[0] // 100 + 1) * 50
            if missing or len(streams["Sfondo"]) != tiles or \
                    any(not c.startswith("rect") for c in streams["Sfondo"]) or \
                    not all(c.startswith(("text", "copy")) for c in streams["DisegnaLogo"]):
                raise RuntimeError(f"trace cut wrongly at {label}: missing {sorted(missing)}")
            for effect, calls in streams.items():
                name = f"{effect}/{label}"
                f.write(f"case {name}\nsize {size[0]} {size[1]}\n")
                f.write("\n".join(calls) + "\n")
                per_pass[name] = sum(1 for c in calls if not c.startswith("text"))
    soft_exe = os.path.join(a.build, "tests", "perf", "perf_replay")
    replay = wine_program(a, "tests/fidelity/gdi_replay.exe")
    soft, gdi = [], []
    for _ in range(a.runs):
        out = subprocess.run([soft_exe, "--picture", picture, "--time", "1", cases] +
                             (["--memset"] if memset is not None else []),
                             capture_output=True, text=True, check=True).stdout
        soft.append(parse_times(out))
        for name, share in re.findall(r"^(\S+) .* of_memset ([\d.]+)$", out, re.M):
            memset.setdefault(tuple(name.split("/")), []).append(float(share))
        if wine_session and os.path.exists(replay):
            gdi.append(parse_times(subprocess.run(
                wine_session.command(replay, "--picture", picture, "--time", "1", cases),
                capture_output=True, text=True, env=wine_session.env(), timeout=3600).stdout))
    shutil.rmtree(work, ignore_errors=True)
    result = {}
    for name, n in per_pass.items():
        effect, label = name.split("/")
        ms = lambda rounds: [r[name] * n / 1e6 for r in rounds if name in r]  # noqa: E731
        result[(effect, label)] = (ms(soft), ms(gdi), n)
    return result


def wine_program(a, name):
    return os.path.join(a.source, "build", "win32" if win32_support()[0] else "win64", name)


def wine_kind():
    return "wine i686" if win32_support()[0] else "wine64 (no 32-bit here)"


# --- CPU, holds and the whole saver -----------------------------------------

def cpu_percent(pids, seconds):
    """% of one core each process (its pid, or a function giving it) used over
    the next `seconds` (None: not measured)."""
    pids = {k: p() if callable(p) else p for k, p in pids.items()}
    pids = {k: p for k, p in pids.items() if p}
    before = {k: cpu_seconds(p) for k, p in pids.items()}
    t0 = time.monotonic()
    time.sleep(seconds)
    after = {k: cpu_seconds(p) for k, p in pids.items()}
    wall = time.monotonic() - t0
    return {k: 100.0 * (after[k] - before[k]) / wall for k in pids
            if before[k] is not None and after[k] is not None}


class Holder:
    """One perf_hold process of the session, holding within the with block,
    its lines timed."""

    def __init__(self, session, command):
        self.p = session.start(*command, stdout=subprocess.PIPE)
        self.holding = threading.Event()
        self.noticed_at = self.exited_at = None
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.p.stdout:
            if line.startswith(b"holding"):
                self.holding.set()
            elif line.startswith(b"noticed"):
                self.noticed_at = time.monotonic()
        self.p.wait()
        self.exited_at = time.monotonic()

    def __enter__(self):
        if not self.holding.wait(120):
            self.__exit__()
            raise Timeout("perf_hold did not start holding")
        return self

    def __exit__(self, *exc):
        if self.p.poll() is None:
            os.killpg(self.p.pid, 9)
        self.p.wait(timeout=30)


def wait_prefix_idle(prefix, limit=180):
    """Seconds until the prefix's wineserver was < 1 % busy three seconds in a
    row: a new prefix's services load it for a minute, a user's do not."""
    t0, quiet = time.monotonic(), 0
    while quiet < 3 and time.monotonic() - t0 < limit:
        pid = wineserver_pid(prefix)
        busy = cpu_percent({"w": pid}, 1.0).get("w", 0.0) if pid else 0.0
        quiet = quiet + 1 if busy < 1.0 else 0
    return time.monotonic() - t0


def wineserver_pid(prefix):
    # It works in a folder named after the prefix's device and inode.
    st = os.stat(prefix)
    want = f"server-{st.st_dev:x}-{st.st_ino:x}"
    return next((p.pid for p in psutil.process_iter(["cwd"])
                 if (p.info["cwd"] or "").endswith(want)), None)


def per_run(runs, one):
    """{name: [a value a run]} from runs calls of one(), each {name: value}."""
    values = {}
    for _ in range(runs):
        for k, v in one().items():
            values.setdefault(k, []).append(v)
    return values


def hold_cpu(session, command, seconds, runs, extra_pids=()):
    """CPU % of one core of a holding process (and of extra processes), one
    value per run."""
    def one():
        with Holder(session, command) as h:
            pids = dict(extra_pids, process=h.p.pid)
            time.sleep(0.5)  # start-up work settles
            return cpu_percent(pids, seconds)
    return per_run(runs, one)


def move_latencies(session, command, samples, x):
    """ms from a sideways move to 'noticed' and to the process's exit."""
    noticed, exited = [], []
    pos = 100
    for _ in range(samples):
        x.move(pos, 300)
        with Holder(session, command) as h:
            # A random phase against the hold's waits.
            time.sleep(0.2 + random.random() * 0.05)
            pos = 700 if pos == 100 else 100
            t0 = time.monotonic()
            x.move(pos, 300)
            poll(lambda: h.exited_at, 30, 0.001, "exit after the move")
            if h.noticed_at:
                noticed.append((h.noticed_at - t0) * 1000)
            exited.append((h.exited_at - t0) * 1000)
    return noticed, exited


def report_hold(kind, session, command, a, x, extra_pids=()):
    seconds = 2 if a.quick else 10
    cpu = hold_cpu(session, command, seconds, a.runs, extra_pids)
    spin = hold_cpu(session, command + ["--spin"], seconds, 1, extra_pids)
    for k, values in cpu.items():
        add_median(f"{kind} hold: CPU of {k} (% of one core)", values, pct,
                   f"spinning hold {spin[k][0]:.1f} %" if k in spin else "")
    samples, ms = 3 if a.quick else (10 if kind.startswith("wine") else 30), fmt_ms
    for what, args in (("hold", []), ("drawing Cerchi", ["--draw"])):
        noticed, exited = move_latencies(session, command + args, samples, x)
        if noticed:
            add_median(f"{kind} {what}: sideways move to noticed", noticed, ms,
                       f"exit {ms(statistics.median(exited))}" if args else "",
                       "median < 10 ms, max < 20 ms", lambda m: m < 10 and max(noticed) < 20)
        if exited and not args:
            add_median(f"{kind} hold: sideways move to process exit", exited, ms)


def saver_cpu(kind, what, s, program, a, size, seconds, servers, goal):
    """CPU % of the saver (medians of runs) from its first canvas fill, with
    the servers' (name: pid) as the reference."""
    cpu = per_run(1 if a.quick else a.runs,
                  lambda: run_installed(s, program, servers, seconds, size))
    add_median(f"{kind} {what}, {size[0]}x{size[1]}, {seconds} s: CPU of the saver", cpu["saver"],
               pct, "; ".join(f"{k} {pct(statistics.median(cpu[k]))}" for k in servers if k in cpu),
               f"< {goal} %", lambda m: m < goal)


def section_saver(a):
    for kind, make, program, goal in (
            ("linux", LinuxSession, os.path.join(a.build, "brenlow"), 0.5),
            (wine_kind(), lambda *size: WineSession("perf", *size),
             wine_program(a, "brenlow.scr"), 1.0)):
        with make(1280, 720) as s:
            s.write_windows_file("brlscsav.ini", "\r\nOvali\r\n")
            saver_cpu(kind, "saver, Ovali", s, program, a, (1280, 720), 5 if a.quick else 40, {},
                      goal)


class CycleCounter:
    """Counts the saver's cycles from outside: pixels near the bottom right
    corner turn from black at every canvas fill and back by the end of every
    wipe. Looked at every 50 ms (the black hold lasts a second)."""

    def __init__(self, x, width, height):
        self.x = x
        self.at = [(width - 3, height - 3), (width - 40, height - 20), (width - 70, height - 60)]
        self.starts = []
        self.stop = threading.Event()
        self.thread = threading.Thread(target=self._watch, daemon=True)
        self.thread.start()

    def _watch(self):
        lit = False
        while not self.stop.wait(0.05):
            now = any(self.x.pixel(*at) != 0 for at in self.at)
            if now and not lit:
                self.starts.append(time.monotonic())
            lit = now

    def finish(self):
        self.stop.set()
        self.thread.join()
        return self.starts


def run_installed(session, program, servers, seconds, size):
    """One run of program /S in drive C: CPU % of it ("saver") and of the
    servers (name: pid) over `seconds` from the first canvas fill, and the
    cycles' mean length (s) from the fills seen (not on Wayland, where no
    pixel is read cheaply)."""
    p = session.start(program, "/S", cwd=session.drive_c())
    try:
        x = None if isinstance(session, SwaySession) else session.connect()
        counter = CycleCounter(x, *size) if x else None
        poll(lambda: (counter.starts if x else tiles(session.screenshot())) or p.poll() is not None,
             120, 0.05, "the first canvas fill")
        if p.poll() is not None:
            raise RuntimeError(f"the saver ended with code {p.returncode} before drawing")
        cpu = cpu_percent({"saver": p.pid, **servers}, seconds)
        starts = [t for t in counter.finish() if t <= counter.starts[0] + seconds] if x else []
        if len(starts) > 1:
            cpu["cycle"] = (starts[-1] - starts[0]) / (len(starts) - 1)
        return cpu
    finally:
        if p.poll() is None:
            os.killpg(p.pid, 9)
        p.wait(timeout=30)


def gdi_cycle_ms(replay, family, label):
    """Wine GDI ms of one cycle of a family, replayed into a DIB section: the
    canvas fill, the shapes, the logo and the mean of the three wipes."""
    gdi = [replay.get((effect, label), ([], [], 0))[1] for effect in
           ("Sfondo", family, "DisegnaLogo", "Fade1", "Fade2", "Fade3")]
    if not all(gdi):
        return None
    medians = [statistics.median(g) for g in gdi]
    return sum(medians[:3]) + statistics.mean(medians[3:])


def section_installed(a, picture, replay):
    """The saver as quillet installs it (BR_LOW.bmp, Casuali) for ten cycles
    or more, then each family, at 1920x1080, against the GDI work's floor."""
    size = (1920, 1080)
    label = f"{size[0]}x{size[1]}"
    # --quick only shows the section still works: one run of each.
    nruns = 1 if a.quick else a.runs
    cases = [("Casuali", 6 if a.quick else 50)] + \
        [(f, 4 if a.quick else 20) for f in ([] if a.quick else SHAPES)]
    settings = "C:\\windows\\BR_LOW.bmp\r\n{}\r\n"
    exe = wine_program(a, "brenlow.scr")
    with WineSession("perf", *size) as s:
        shutil.copy(picture, os.path.join(s.windows_folder(), "BR_LOW.bmp"))
        settled = wait_prefix_idle(s.prefix)
        print(f"  (the prefix settled in {settled:.0f} s)", file=sys.stderr, flush=True)
        for family, seconds in cases:
            s.write_windows_file("brlscsav.ini", settings.format(family))
            s.mouse_move(100, 300)
            servers = {"wineserver": lambda: wineserver_pid(s.prefix), "X server": s.xvfb.pid}
            cpu = per_run(nruns, lambda: run_installed(s, exe, servers, seconds, size))
            cycle = statistics.median(cpu.pop("cycle")) if "cycle" in cpu else None
            total = [sum(r) for r in zip(*cpu.values())]
            reference = [f"{k} {pct(statistics.median(v))}" for k, v in cpu.items()] + \
                ([f"cycle {cycle:.2f} s"] if cycle else [])
            goal, met = ("< 8 %", yes_no(statistics.median(total) < 8)) if family == "Casuali" \
                else ("", "")
            floor_ms = gdi_cycle_ms(replay, family, label)
            if floor_ms and cycle:
                floor = 100.0 * floor_ms / 1000 / cycle
                ratio = statistics.median(total) / floor
                reference.append(f"floor {pct(floor)} ({floor_ms:.0f} ms of GDI a cycle), "
                                 f"measured {ratio:.1f}x the floor")
                goal, met = "<= 1.5x floor", yes_no(ratio <= 1.5)
            add(f"{wine_kind()} installed, {family}, BR_LOW.bmp, {label}, {seconds} s: "
                "CPU of saver + wineserver + X server", pct(statistics.median(total)),
                spread(total, pct), "; ".join(reference), goal, met)
    with LinuxSession(*size) as s:
        linux_installed("linux", s, a, {"X server": s.xvfb.pid})


def linux_installed(kind, s, a, servers):
    """brenlow /S as installed on Linux: CPU of the saver, and of the display server."""
    s.write_windows_file("brlscsav.ini", "C:\\BR_LOW.bmp\r\nCasuali\r\n")
    shutil.copy(os.path.join(a.source, "assets", "BR_LOW.bmp"), s.drive_c())
    s.mouse_move(100, 300)
    saver_cpu(kind, "installed, Casuali, BR_LOW.bmp", s, os.path.join(a.build, "brenlow"), a,
              (s.width, s.height), 6 if a.quick else 50, servers, 1)


def section_wayland(a):
    """Native Wayland on headless sway: the hold's moves, the saver as
    installed, and the idle service while it waits."""
    pointer = os.path.join(a.build, "tests", "linux", "brenlow-virtual-pointer")
    with SwaySession(1920, 1080, pointer=pointer) as s:
        report_hold("wayland", s, [os.path.join(a.build, "tests", "perf", "perf_hold")], a,
                    argparse.Namespace(move=s.mouse_move), [("sway", s.xvfb.pid)])
        linux_installed("wayland", s, a, {"sway": s.xvfb.pid})
        idle, seconds = s.start(os.path.join(a.build, "brenlow-idle"), "--minutes", "60"), \
            5 if a.quick else 30
        poll(lambda: "minuti senza input" in s.output(idle), 60, 0.1, "the idle service")
        waiting = per_run(a.runs, lambda: cpu_percent({"idle": idle.pid}, seconds))["idle"]
        add_median(f"wayland idle service waiting on sway, {seconds} s: its CPU", waiting,
                   lambda v: f"{v * seconds * 1e7:.0f} ns", "", "none measurable", lambda m: m == 0)


# --- start-up and memory ---------------------------------------------------

def section_startup(a, picture):
    runs = max(a.runs, 2 if a.quick else 7)
    with LinuxSession(1920, 1080) as s:
        shutil.copy(picture, os.path.join(s.drive_c(), "BR_LOW.bmp"))
        s.write_windows_file("brlscsav.ini", "C:\\BR_LOW.bmp\r\nCerchi\r\n")
        holds = iter([1 if a.quick else 8])  # the first run: the peak over a whole cycle

        def one():
            out = subprocess.run([os.path.join(a.build, "tests", "perf", "first_tile"),
                                  str(next(holds, 0.2)), os.path.join(a.build, "brenlow"), "/s"],
                                 env=s.env(), cwd=s.drive_c(), capture_output=True, text=True,
                                 timeout=120)
            values = dict(line.split() for line in out.stdout.splitlines() if " " in line)
            if out.returncode != 0 or "first_tile_ms" not in values:
                raise RuntimeError("first_tile: " + out.stderr)
            return {k: float(v) for k, v in values.items()}
        values = per_run(runs, one)
    add_median("linux start to first tile on screen (1920x1080)", values["first_tile_ms"], fmt_ms,
               f"window mapped: median {statistics.median(values['window_ms']):.0f} ms",
               "< 100 ms", lambda m: m < 100)
    peak = values["vmhwm_kb"][0]
    add("linux peak memory VmHWM (1920x1080, a whole cycle)", f"{peak / 1024:.1f} MB", "", "",
        "< 40 MB", yes_no(peak < 40 * 1024))


# --- the drawing table -----------------------------------------------------

def report_drawing(sizes, draw, memset, replay):
    """The effects' rows: the soft replay's times when draw, its share of
    memset speed and Wine GDI's times when measured."""
    ms = fmt_ms
    for effect in EFFECTS:
        for w, h in sizes:
            label = f"{w}x{h}"
            soft, gdi, calls = replay.get((effect, label), ([], [], 0))
            times = draw and soft
            if not soft:
                continue
            value, spread_text, goal, met = "", "", "", ""
            if times:
                median = statistics.median(times)
                value, spread_text = ms(median), spread(times, ms)
                if label in BUDGET_MS:
                    goal = f"< {BUDGET_MS[label]} ms"
                    met = yes_no(median < BUDGET_MS[label])
            reference = []
            if FAMILIES.get(effect) == "line" and memset.get((effect, label)):
                share = statistics.median(memset[(effect, label)])
                reference.append(f"{share:.1%} of memset speed")
            if gdi:
                ratio = statistics.median(gdi) / statistics.median(soft)
                reference.append(f"Wine GDI {ms(statistics.median(gdi))} = {ratio:.1f}x "
                                 f"the soft replay's {ms(statistics.median(soft))}")
                if FAMILIES.get(effect) == "arc" and label in BUDGET_MS:
                    goal = (goal + ", " if goal else "") + ">= 5x Wine"
                    met = (met + ", " if met else "") + yes_no(ratio >= 5)
            add(f"draw {effect} {label} ({calls} calls)", value, spread_text,
                "; ".join(reference), goal, met)


# --- main ------------------------------------------------------------------

def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--quick", action="store_true")
    ap.add_argument("--runs", type=int, default=3)
    ap.add_argument("--build", default=None)
    ap.add_argument("--source", default=os.path.normpath(os.path.join(HERE, "..", "..")))
    ap.add_argument("--only", default="size,draw,replay,hold,saver,installed,startup,wayland")
    a = ap.parse_args()
    a.build = os.path.abspath(a.build or os.path.join(a.source, "build", "linux"))
    a.source = os.path.abspath(a.source)
    a.runs = max(3, a.runs)
    only = set(a.only.split(","))
    sizes = SIZES[:1] if a.quick else SIZES
    picture = os.path.join(a.source, "assets", "BR_LOW.bmp")
    started = time.monotonic()

    if "size" in only:
        section_size(a)
    if "startup" in only:
        section_startup(a, picture)
    if "saver" in only:
        section_saver(a)

    session = WineSession("perf", 1920, 1080) if {"replay", "hold"} & only else None
    with session or contextlib.nullcontext():
        if "hold" in only:
            with LinuxSession(1920, 1080) as s:
                report_hold("linux", s, [os.path.join(a.build, "tests", "perf", "perf_hold")], a,
                            s.connect(), [("X server", s.xvfb.pid)])
            extra = [("wineserver", lambda: wineserver_pid(session.prefix)),
                     ("X server", session.xvfb.pid)]
            report_hold(wine_kind(), session, [wine_program(a, "tests/perf/perf_hold.exe")], a,
                        session.connect(), extra)
        # One soft run gives the draw rows and the replay's reference.
        draw, memset, replay = "draw" in only, {}, {}
        if draw or "replay" in only:
            replay = section_replay(a, sizes, picture, session if "replay" in only else None,
                                    memset if draw else None)
    report_drawing(sizes, draw, memset, replay)
    if "installed" in only:
        if not a.quick and "replay" not in only:
            # The floors come from the replays at 1920x1080.
            with WineSession("perf", 1920, 1080) as session:
                replay = section_replay(a, [(1920, 1080)], picture, session)
        section_installed(a, picture, replay)
    if "wayland" in only:
        section_wayland(a)

    print("| figure | median | min – max (runs) | reference in the same run | goal | met |")
    print("|---|---|---|---|---|---|")
    for r in rows:
        print("| " + " | ".join(r) + " |")
    print(f"\n(run took {time.monotonic() - started:.0f} s; CPU times of the processes named)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
