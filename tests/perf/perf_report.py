#!/usr/bin/env python3
"""Measures brenlow's performance figures and prints them as one table, each
figure next to the reference measured in the same run.

    perf_report.py [--quick] [--build DIR] [--source DIR] [--only SECTIONS]

SECTIONS is a comma list of size, draw, replay, hold, wine-hold, startup
(default: all). --quick runs a small configuration (640x480 drawing, short
holds, few samples) so that ctest can check the script still works; its
figures are rough. Needs the linux build (targets perf_draw perf_replay
first_tile perf_hold brenlow brenlow-trace), and for the Wine columns the
win32 build (gdi_replay perf_hold brenlow quillet), or the win64 build in
its place on a machine that cannot run 32-bit programs."""

import argparse
import ctypes
import json
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

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "wine", "lib"))
sys.path.insert(0, os.path.join(HERE, "..", "linux"))
import winehelp  # noqa: E402
from linux_session import LinuxSession  # noqa: E402

SIZES = [(640, 480), (1920, 1080), (3840, 2160)]
SHAPES = ["Cerchi", "Ellissi", "Ovali", "Quadrati", "Triangoli"]
EFFECTS = ["Sfondo"] + SHAPES + ["DisegnaLogo", "Fade1", "Fade2", "Fade3"]
TICKS = os.sysconf("SC_CLK_TCK")

rows = []  # (figure, value, reference, ratio, goal, met)
REAPER = None  # the Wine session's: kills the measured programs if this script is killed


def add(figure, value, reference="", ratio="", goal="", met=""):
    rows.append((figure, value, reference, ratio, goal, met))
    print(f"  {figure}: {value} {reference} {ratio}", file=sys.stderr, flush=True)


def fmt_ms(v):
    return f"{v:.3f} ms" if v < 1 else f"{v:.2f} ms" if v < 100 else f"{v:.0f} ms"


def yes_no(ok):
    return "yes" if ok else "**no**"


# --- sizes -----------------------------------------------------------------

def section_size(a):
    for name, strip in (("brenlow.scr", "i686-w64-mingw32-strip"),
                        ("quillet.exe", "i686-w64-mingw32-strip")):
        path = os.path.join(a.source, "build", "win32", name)
        if not os.path.exists(path):
            add(f"win32 {name} size", "not built")
            continue
        size = os.path.getsize(path)
        stripped = ""
        if shutil.which(strip):
            with tempfile.TemporaryDirectory() as tmp:
                copy = os.path.join(tmp, name)
                subprocess.run([strip, "-o", copy, path], check=True)
                stripped = f"stripped: {os.path.getsize(copy) / 1024:.0f} KB"
        add(f"win32 {name} size", f"{size / 1024:.0f} KB", stripped, "", "< 400 KB",
            yes_no(size < 400 * 1024))


# --- drawing on the software canvas (Google Benchmark) ---------------------

def section_draw(a, sizes):
    exe = os.path.join(a.build, "tests", "perf", "perf_draw")
    pattern = "|".join(f"{w}/{h}" for w, h in sizes)
    out = subprocess.run(
        [exe, f"--benchmark_filter=BM_Effect/[0-9]+/({pattern})$", "--benchmark_format=json",
         f"--benchmark_min_time={0.05 if a.quick else 0.5}"],
        capture_output=True, text=True, check=True).stdout
    times = {}
    for b in json.loads(out)["benchmarks"]:
        effect, size = b["label"].split("/")
        times[(effect, size)] = b["cpu_time"]  # ms (the benchmark's unit)
    return times


# --- the same call streams, software canvas and Wine's GDI ------------------

CALL_WORDS = ("rect", "arc", "line", "copy", "text")


def effect_streams(a, size, picture):
    """Each effect's calls at one size: {effect: [lines]}."""
    trace = os.path.join(a.build, "brenlow-trace")
    streams = {}
    for shape in SHAPES:
        cycles = 1
        while True:
            out = subprocess.run([trace, "--size", f"{size[0]}x{size[1]}", "--shape", shape,
                                  "--picture", picture, "--cycles", str(cycles)],
                                 capture_output=True, text=True, check=True).stdout
            # Segments in order: a marker line starts the next one.
            segments = []
            for line in out.splitlines():
                word = line.split(" ", 1)[0]
                if word == "cycle":
                    segments.append(("Sfondo", []))
                elif word == "shape":
                    segments.append((shape, []))
                elif word == "fade":
                    segments.append(("Fade" + line.split()[1], []))
                elif word in CALL_WORDS and segments:
                    if word == "text" and segments[-1][0] == shape:
                        segments.append(("DisegnaLogo", []))
                    segments[-1][1].append(line)
            for key, calls in segments:
                streams.setdefault(key, calls)
            if shape != SHAPES[-1] or all(f"Fade{i}" in streams for i in (1, 2, 3)) or cycles > 8:
                break
            cycles += 1
    return streams


def parse_times(text):
    """name -> cpu ns per call, from gdi_replay --time / perf_replay output."""
    times = {}
    for line in text.splitlines():
        m = re.match(r"(\S+) wall ([\d.]+) ns/call cpu ([\d.]+) ns/call \((\d+) calls\)", line)
        if m:
            times[m.group(1)] = float(m.group(3))
    return times


def section_replay(a, sizes, picture, wine_session):
    """ms per pass of each effect's stream: {(effect, size): (soft, gdi)}."""
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
    soft = parse_times(subprocess.run([soft_exe, "--picture", picture, "--time", "1", cases],
                                      capture_output=True, text=True, check=True).stdout)
    gdi = {}
    replay = wine_program(a, "tests/fidelity/gdi_replay.exe")
    if wine_session and os.path.exists(replay):
        wpicture = os.path.join(work, "BR_LOW.bmp")
        shutil.copy(picture, wpicture)
        out = subprocess.run(wine_session.command(replay, "--picture", wpicture, "--time", "1",
                                                  cases), capture_output=True, text=True,
                             env=wine_session.env(), timeout=3600).stdout
        gdi = parse_times(out)
    shutil.rmtree(work, ignore_errors=True)
    result = {}
    for name, n in per_pass.items():
        effect, label = name.split("/")
        ms = lambda t: t[name] * n / 1e6 if name in t else None  # noqa: E731
        result[(effect, label)] = (ms(soft), ms(gdi), n)
    return result


def wine_program(a, name):
    """A program of the i686 build, or of the x86_64 build where 32-bit
    programs cannot run."""
    return os.path.join(a.source, "build", wine_tree(), name)


def wine_tree():
    return "win32" if winehelp.win32_support()[0] else "win64"


# --- holds -----------------------------------------------------------------

def cpu_ticks(pid):
    try:
        with open(f"/proc/{pid}/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return int(fields[11]) + int(fields[12])  # utime, stime
    except (FileNotFoundError, ProcessLookupError, IndexError):
        return None


class X:
    """The pointer moved from the driver itself: the same XWarpPointer request
    xdotool mousemove sends, without xdotool's start-up in the latency."""

    def __init__(self, display):
        self.lib = ctypes.cdll.LoadLibrary("libX11.so.6")
        self.lib.XOpenDisplay.restype = ctypes.c_void_p
        self.lib.XDefaultRootWindow.restype = ctypes.c_ulong
        self.lib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.lib.XWarpPointer.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong] + \
            [ctypes.c_int] * 2 + [ctypes.c_uint] * 2 + [ctypes.c_int] * 2
        self.lib.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.display = self.lib.XOpenDisplay(display.encode())
        if not self.display:
            raise RuntimeError("cannot open " + display)
        self.root = self.lib.XDefaultRootWindow(self.display)

    def move(self, x, y):
        self.lib.XWarpPointer(self.display, 0, self.root, 0, 0, 0, 0, x, y)
        self.lib.XSync(self.display, 0)


class Holder:
    """One perf_hold process: started, seen holding, its lines timed."""

    def __init__(self, command, env, cwd=None):
        self.p = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                  env=env, cwd=cwd, start_new_session=True)
        if REAPER:
            REAPER.tell("group", self.p.pid)
        self.holding = threading.Event()
        self.noticed_at = None
        self.exited_at = None
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.p.stdout:
            if line.startswith(b"holding"):
                self.holding.set()
            elif line.startswith(b"noticed"):
                self.noticed_at = time.monotonic()
        self.p.wait()
        self.exited_at = time.monotonic()

    def wait_holding(self, timeout=120):
        if not self.holding.wait(timeout):
            raise winehelp.Timeout("perf_hold did not start holding")

    def stop(self):
        if self.p.poll() is None:
            os.killpg(self.p.pid, 9)
        self.p.wait(timeout=30)


class NativeEnv:
    """The Linux programs' environment on the shared Xvfb, with a private home."""

    def __init__(self, display):
        self.display = display
        self.home = tempfile.mkdtemp(prefix="brenlow-perf-home-")

    def env(self):
        env = dict(os.environ, DISPLAY=self.display, HOME=self.home,
                   XDG_DATA_HOME=os.path.join(self.home, "data"), SDL_VIDEODRIVER="x11")
        env.pop("WAYLAND_DISPLAY", None)
        return env

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        shutil.rmtree(self.home, ignore_errors=True)


def wineserver_pid(prefix):
    st = os.stat(prefix)
    want = f"server-{st.st_dev:x}-{st.st_ino:x}"
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            if os.readlink(f"/proc/{pid}/cwd").endswith(want):
                return int(pid)
        except OSError:
            pass
    return None


def measure_hold(session, command, seconds, samples, x, extra_pids=(), cwd=None):
    """CPU % of one core of the holding process (and of extra processes), and the
    sideways-move latencies (ms to 'noticed', ms to exit)."""
    cpu = {}
    h = Holder(command, session.env(), cwd)
    try:
        h.wait_holding()
        pids = {"process": h.p.pid}
        for name, pid in extra_pids:
            pid = pid() if callable(pid) else pid
            if pid:
                pids[name] = pid
        # Let start-up work settle before counting.
        time.sleep(0.5)
        before = {k: cpu_ticks(p) for k, p in pids.items()}
        t0 = time.monotonic()
        time.sleep(seconds)
        after = {k: cpu_ticks(p) for k, p in pids.items()}
        wall = time.monotonic() - t0
        for k in pids:
            if before[k] is not None and after[k] is not None:
                cpu[k] = 100.0 * (after[k] - before[k]) / TICKS / wall
    finally:
        h.stop()
    noticed, exited = [], []
    pos = 100
    for _ in range(samples):
        x.move(pos, 300)
        h = Holder(command, session.env(), cwd)
        try:
            h.wait_holding()
            # A random phase against the hold's waits.
            time.sleep(0.2 + random.random() * 0.05)
            pos = 700 if pos == 100 else 100
            t0 = time.monotonic()
            x.move(pos, 300)
            winehelp.poll(lambda: h.exited_at, 30, 0.001, "exit after the move")
            if h.noticed_at:
                noticed.append((h.noticed_at - t0) * 1000)
            exited.append((h.exited_at - t0) * 1000)
        finally:
            h.stop()
    return cpu, noticed, exited


def report_hold(kind, session, command, spin_command, a, x, extra_pids=(), cwd=None):
    seconds = 2 if a.quick else 10
    samples = 3 if a.quick else (10 if kind.startswith("wine") else 30)
    cpu, noticed, exited = measure_hold(session, command, seconds, samples, x, extra_pids, cwd)
    spin_cpu, _, _ = measure_hold(session, spin_command, seconds, 0, x, extra_pids, cwd)
    for k in cpu:
        ratio = f"{cpu[k] / spin_cpu[k]:.3f}" if spin_cpu.get(k) else ""
        goal = "< 2 %" if k == "process" else ""
        add(f"{kind} hold: CPU of {k} (% of one core)", f"{cpu[k]:.2f} %",
            f"spinning hold {spin_cpu.get(k, 0):.1f} %", ratio, goal,
            yes_no(cpu[k] < 2) if goal else "")

    def stats(v):
        return f"median {statistics.median(v):.1f} ms, max {max(v):.1f} ms (n={len(v)})"
    if noticed:
        add(f"{kind} hold: sideways move to noticed", stats(noticed), "", "", "< 20 ms",
            yes_no(max(noticed) < 20))
    if exited:
        add(f"{kind} hold: sideways move to process exit", stats(exited), "", "", "< 20 ms",
            yes_no(statistics.median(exited) < 20))


# --- start-up and memory ---------------------------------------------------

def section_startup(a, picture):
    runs = 2 if a.quick else 7
    with LinuxSession(1920, 1080) as s:
        shutil.copy(picture, os.path.join(s.drive_c(), "BR_LOW.bmp"))
        s.write_windows_file("brlscsav.ini", "C:\\BR_LOW.bmp\r\nCerchi\r\n")
        tile, window, peak = [], [], []
        for i in range(runs):
            # The first run measures the peak over a whole cycle at 1920x1080.
            hold = (1 if a.quick else 8) if i == 0 else 0.2
            out = subprocess.run([os.path.join(a.build, "tests", "perf", "first_tile"), str(hold),
                                  os.path.join(a.build, "brenlow"), "/s"], env=s.env(),
                                 cwd=s.drive_c(), capture_output=True, text=True, timeout=120)
            values = dict(line.split() for line in out.stdout.splitlines() if " " in line)
            if out.returncode != 0 or "first_tile_ms" not in values:
                raise RuntimeError("first_tile: " + out.stderr)
            tile.append(float(values["first_tile_ms"]))
            window.append(float(values["window_ms"]))
            if i == 0:
                peak.append(int(values["vmhwm_kb"]))
    add("linux start to first tile on screen (1920x1080)",
        f"median {statistics.median(tile):.0f} ms, max {max(tile):.0f} ms (n={runs})",
        f"window mapped: median {statistics.median(window):.0f} ms", "", "< 100 ms",
        yes_no(statistics.median(tile) < 100))
    add("linux peak memory VmHWM (1920x1080, a whole cycle)", f"{peak[0] / 1024:.1f} MB", "", "",
        "< 40 MB", yes_no(peak[0] < 40 * 1024))


# --- main ------------------------------------------------------------------

def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--quick", action="store_true")
    ap.add_argument("--build", default=None)
    ap.add_argument("--source", default=os.path.normpath(os.path.join(HERE, "..", "..")))
    ap.add_argument("--only", default="size,draw,replay,hold,wine-hold,startup")
    a = ap.parse_args()
    a.build = a.build or os.path.join(a.source, "build", "linux")
    only = set(a.only.split(","))
    sizes = SIZES[:1] if a.quick else SIZES
    picture = os.path.join(a.source, "assets", "BR_LOW.bmp")
    started = time.monotonic()

    if "size" in only:
        section_size(a)
    if "startup" in only:
        section_startup(a, picture)

    need_wine = {"replay", "hold", "wine-hold"} & only
    session = winehelp.Session("perf", 1920, 1080) if need_wine else None
    if session:
        session.__enter__()
        global REAPER
        REAPER = session.reaper
    try:
        if "hold" in only:
            x = X(session.display)
            exe = os.path.join(a.build, "tests", "perf", "perf_hold")
            with NativeEnv(session.display) as native:
                report_hold("linux", native, [exe], [exe, "--spin"], a, x,
                            [("X server", session.xvfb.pid)])
        if "wine-hold" in only:
            exe = wine_program(a, "tests/perf/perf_hold.exe")
            kind = "wine " + wine_tree()
            if os.path.exists(exe):
                x = X(session.display)
                extra = [("wineserver", lambda: wineserver_pid(session.prefix)),
                         ("X server", session.xvfb.pid)]
                report_hold(kind, session, session.command(exe),
                            session.command(exe, "--spin"), a, x, extra,
                            cwd=os.path.dirname(exe))
            else:
                add(f"{kind} hold", "perf_hold.exe not built")
        draw = section_draw(a, sizes) if "draw" in only else {}
        replay = section_replay(a, sizes, picture, session) if "replay" in only else {}
    finally:
        if session:
            session.close()

    for effect in EFFECTS:
        for w, h in sizes:
            label = f"{w}x{h}"
            ms = draw.get((effect, label))
            soft, gdi, calls = replay.get((effect, label), (None, None, 0))
            if ms is None and soft is None:
                continue
            value = fmt_ms(ms) if ms is not None else ""
            ref = []
            if soft is not None:
                ref.append(f"replay: soft {fmt_ms(soft)}")
            if gdi is not None:
                ref.append(f"Wine GDI {fmt_ms(gdi)}")
            ratio = f"{gdi / soft:.1f}x" if soft and gdi else ""
            goal, met = "", ""
            if label == "1920x1080":
                goal = "< 50 ms, >= 5x"
                met = f"time {yes_no(ms is not None and ms < 50)}"
                if ratio:
                    met += f", ratio {yes_no(gdi / soft >= 5)}"
            add(f"draw {effect} {label} ({calls} calls)", value, ", ".join(ref), ratio, goal,
                met)

    # How the drawing time grows with the canvas (pixels x6.75, then x4).
    labels = [f"{w}x{h}" for w, h in sizes]
    for effect in EFFECTS if len(labels) > 1 else []:
        times = [draw.get((effect, label)) for label in labels]
        if all(times):
            steps = [f"x{times[i + 1] / times[i]:.1f}" for i in range(len(times) - 1)]
            add(f"growth {effect}: " + " -> ".join(labels), ", ".join(steps),
                "pixels x6.75, x4")

    print("| figure | measured | reference in the same run | ratio | goal | met |")
    print("|---|---|---|---|---|---|")
    for r in rows:
        print("| " + " | ".join(r) + " |")
    print(f"\n(run took {time.monotonic() - started:.0f} s; CPU times; ratio of the drawing"
          " = Wine GDI / soft replay, of the hold = sleeping / spinning)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
