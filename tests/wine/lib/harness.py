"""What every end-to-end harness shares: polling, checks, external commands
and run_case, which runs one case_<name>(session, *args) of a test script."""

import os
import shutil
import sys
import time

import pe

SKIP = 77  # CTest's SKIP_RETURN_CODE for every test of these harnesses


class Timeout(AssertionError):
    pass


class Skip(Exception):  # the case cannot run on this machine
    pass


def check(condition, message):  # stays under python -O, as an assert does not
    if not condition:
        raise AssertionError(message)


def poll(condition, timeout, interval=0.02, what="condition"):
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Timeout(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)


def tool(name, fallback=None):
    path = shutil.which(name) or (fallback if fallback and os.access(fallback, os.X_OK) else None)
    if not path:
        raise RuntimeError(f"{name} not found: run ./dev setup")
    return path


def safely(*steps):
    """Runs every step, even when one raises; raises the first error at the end."""
    first = None
    for step in steps:
        try:
            step()
        except BaseException as e:  # noqa: B902 - clean-up must go on
            first = first or e
    if first:
        raise first


def require_runnable(program):
    if pe.pe_machine(program) == "i686":
        ok, why = pe.win32_support()
        if not ok:
            raise Skip(f"32-bit program {os.path.basename(program)} not run: {why}")


def run_case(cases, make_session, argv=None):
    """The exit code of cases["case_" + argv[1]](session, *argv[2:]) in a
    session made by make_session(). A failing case leaves <case>-failure.png
    in the working folder."""
    argv = argv or sys.argv
    case = cases.get("case_" + argv[1]) if len(argv) > 1 else None
    if not case:
        names = sorted(n[5:] for n in cases if n.startswith("case_"))
        print(f"usage: {argv[0]} {'|'.join(names)} ARGS...", file=sys.stderr)
        return 2
    args = argv[2:]
    try:
        for arg in args:
            if arg.lower().endswith((".exe", ".scr")):
                if not os.path.exists(arg):
                    print(f"{arg} is missing: build its tree first", file=sys.stderr)
                    return 1
                require_runnable(arg)
        with make_session() as session:
            try:
                return case(session, *args) or 0
            except (AssertionError, RuntimeError):
                try:
                    session.screenshot(os.path.abspath(f"{argv[1]}-failure.png"))
                except Exception as e:  # the screenshot is a help, not the verdict
                    print(f"no failure screenshot: {e}")
                raise
    except Skip as why:
        print(f"SKIPPED: {why}", flush=True)
        return SKIP
