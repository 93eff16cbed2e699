"""Reliability of brenlow.scr under Wine and Xvfb.

    python3 wine_reliability_test.py long_run|tall_logo|repaint <brenlow.scr> <brenlow_probe.exe>
    python3 wine_reliability_test.py ending key,move,... <brenlow.scr> <brenlow_probe.exe>"""

import collections
import os
import pathlib
import sys
import time

import psutil

from harness import check, run_case
from images import black, logo
from saverrun import CYCLE, Saver, put_logo, put_tall_logo
from winesession import WineSession

PREFIX = os.environ.get("BRENLOW_WINE_PREFIX", "reliability")
# A smaller screen gives more cycles per minute.
W, H = 640, 480


def probe(session, exe, what):
    return session.finished(exe, what).strip()


def start_saver(session, exe, env=None):
    return Saver(session, exe, put_logo(session), "Casuali", env)


def sample(session, saver, probe_exe):
    counts = {k: int(v) for k, v in (item.split("=") for item in
                                     probe(session, probe_exe, "counts").split())}
    process = psutil.Process(saver.p.pid)
    return {"rss_kb": process.memory_info().rss // 1024, "fds": process.num_fds(),
            "threads": process.num_threads(), **counts}


def case_long_run(session, exe, probe_exe):
    """Memory, descriptors and threads of the Wine process, and the GDI and
    USER objects and handles the probe reads inside Wine, stay flat over
    BRENLOW_LONG_RUN_SECONDS (60)."""
    seconds = float(os.environ.get("BRENLOW_LONG_RUN_SECONDS", "60"))
    saver = start_saver(session, exe)
    # The first cycle loads fonts and the picture: measure from its end on.
    saver.wait(black, CYCLE, "the first fade's black screen")
    first = sample(session, saver, probe_exe)
    print("start:", first, flush=True)
    samples = [first]
    # A sample at each further fade's black screen.
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        saver.wait(lambda i: not black(i), CYCLE, "the next cycle")
        saver.wait(black, CYCLE, "the next fade's black screen")
        samples.append(sample(session, saver, probe_exe))
    last = samples[-1]
    print(f"end after {seconds:.0f} s, {len(samples) - 1} whole cycles, peak VmRSS "
          f"{max(s['rss_kb'] for s in samples)} kB:", last, flush=True)
    # Flat: no growth beyond noise. A pen, brush or font leaked per shape
    # would cost megabytes over a few cycles. Wine 8 counts no GDI or USER
    # objects or handles (0): memory, descriptors and threads stand for them.
    noise = {"rss_kb": 2047, "fds": 2, "threads": 0, "gdi": 0, "user": 0, "handles": 2}
    grew = [k for k, n in noise.items() if last[k] > first[k] + n]
    check(not grew, f"grew: {grew}")
    check(len(samples) >= 2, "not a single whole cycle in the run")
    saver.end_by_move(5)


def case_repaint(session, exe, probe_exe):
    """A window marked for painting is painted at once from the saver's own
    drawing: during the closing hold the logo is still there. The probe is
    slow to start under Wine: a hold that ended first is tried again."""
    saver = start_saver(session, exe)
    seen = []
    for attempt in range(3):
        saver.wait(logo, CYCLE, "the logo (the closing hold)")
        out = probe(session, probe_exe, "invalidate")
        check(saver.alive(), f"the saver ended (code {saver.p.returncode})")
        seen.append(logo(session.screenshot()))
        if seen[-1]:
            break
    check(seen[-1], f"the logo was gone after each of {len(seen)} paints")
    saver.end_by_move(3)
    print(f"repainted from the drawing surface ({out}, attempt {len(seen)})")


def screen_saver_active(session, probe_exe):
    out = probe(session, probe_exe, "active")
    check(out.startswith("active="), f"probe active: {out}")
    return out == "active=1"


FAULT_TRIGGER = "brenlow-fault.now"


def fault_now(session, probe_exe, saver):  # strikes at the fault build's next hold
    pathlib.Path(session.drive_c(), FAULT_TRIGGER).touch()


def press_key(session, probe_exe, saver):  # the key waits for the cycle's end
    session.key_until(["space"], session.exited(saver.p), 240, "the end after a key")


def move_sideways(session, probe_exe, saver):
    saver.end_by_move(3)


def send_probe(what):
    return lambda session, probe_exe, saver: probe(session, probe_exe, what)


def take_foreground(session, probe_exe, saver):
    # Kept until the saver window is gone; its code says whether it went.
    return session.start(probe_exe, "foreground")


Ending = collections.namedtuple("Ending", "end code program fault drawn",
                                defaults=("brenlow.scr", None, True))
# The exception's code is the exit code; Linux keeps its low byte.
ACCESS_VIOLATION = 0xC0000005 & 0xFF
ABORTED = 3  # abort()'s code


# Every way the saver ends: end(session, probe_exe, saver) ends a running,
# drawing saver with the exit code `code`.
ENDINGS = {
    # The three ways of Form_QueryUnload, the normal ending.
    "key": Ending(press_key, 0),
    "move": Ending(move_sideways, 0),
    "close_request": Ending(send_probe("close"), 0),
    "foreground": Ending(take_foreground, 0),
    # The error path of the shipped program: without a display its window
    # cannot be made, and it ends with code 1 before drawing anything.
    "no_window": Ending(None, 1, drawn=False),
    # An error out of the running cycle, caught by the saver's error path.
    "error": Ending(fault_now, 1, "brenlow_fault.exe", "error"),
    # The shipped program's unhandled-exception filter: a thread of its
    # process faults.
    "crash": Ending(send_probe("crash"), ACCESS_VIOLATION),
    # The same filter, the fault on the saver's own thread.
    "fault_crash": Ending(fault_now, ACCESS_VIOLATION, "brenlow_fault.exe", "crash"),
    # The terminate handler: an exception nothing catches.
    "terminate": Ending(fault_now, ABORTED, "brenlow_fault.exe", "terminate"),
}


def case_ending(session, ways, exe, probe_exe):
    """Each way of ending (names of ENDINGS, one run each): while the saver
    draws, the system's screen saver is off; once it has ended with the
    right code, it is on again. (The cursor is the unit tests': over the
    saver's window, which has no class cursor, none shows, and once the
    process is gone the X server shows its own.)"""
    for way in ways.split(","):
        ending = ENDINGS[way]
        pathlib.Path(session.drive_c(), FAULT_TRIGGER).unlink(missing_ok=True)
        program = os.path.join(os.path.dirname(exe), ending.program)
        env = {"BRENLOW_FAULT": ending.fault, "DISPLAY": session.display if ending.drawn else None}
        other = None
        if ending.drawn:
            saver = start_saver(session, program, env)
            p = saver.p
            saver.wait_drawn()
            check(not screen_saver_active(session, probe_exe),
                  f"{way}: the system's screen saver is on while brenlow runs")
            other = ending.end(session, probe_exe, saver)
        else:
            p = session.start(program, "/S", cwd=session.drive_c(), env=env)
        code = session.wait_exit(p, 240)
        check(code == ending.code, f"{way}: exit code {code}, expected {ending.code}")
        if code == 1:  # the error path says why it ended
            check("brenlow: Errore di run-time: " in session.output(p),
                  f"{way}: no reason given: {session.output(p)!r}")
        if other:
            check(session.wait_exit(other, 120) == 0, f"{way}: the saver window stayed")
        check(screen_saver_active(session, probe_exe),
              f"{way}: the system's screen saver was left off")
        print(f"{way}: exit code {code:#x}, the system's screen saver given back", flush=True)


def case_tall_logo(session, exe, probe_exe):
    """While a logo 16,000 pixels high is revealed (many seconds of band
    pauses) the window still answers a sent message at once (the system's
    test before it marks a window as not responding)."""
    saver = Saver(session, exe, put_tall_logo(session))
    # The first pass shows the top of the picture at once; 16,000 further
    # bands follow before the closing hold.
    saver.wait(lambda img: img.pixel(4, 4) == (0, 255, 0), 180, "the logo's first bands")
    start = time.monotonic()
    answers = []
    while time.monotonic() - start < 6:
        answers.append(int(probe(session, probe_exe, "ping").split("=")[1]))
    check(saver.alive(), f"the saver ended ({saver.p.returncode})")
    print(f"answers during the reveal: {answers} ms")
    check(max(answers) < 1000, f"an answer took {max(answers)} ms")
    saver.end_by_move(5)


if __name__ == "__main__":
    sys.exit(run_case(globals(), lambda: WineSession(PREFIX, W, H)))
