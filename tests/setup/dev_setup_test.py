#!/usr/bin/env python3
"""./dev's installing step against a fake apt-get and dpkg first on the
PATH: its calls when the archive works, is caught in a mirror sync, or
nothing helps; ./dev run asks for no i386 package.

    dev_setup_test.py <source dir>"""

import os
import pathlib
import platform
import re
import subprocess
import sys
import tempfile

from check_setup import setup_packages

# Every fake logs its command line. apt-get fails as the FAKE_APT scenario
# says: "sync" the first index update (a mirror mid-sync), "held" every
# install not pinned with -t (indexes that disagree), "broken" every install.
FAKES = {
    "apt-get": r"""
echo "apt-get $*" >> "$FAKE_LOG"
case " $* " in
  *" update "*)
    if [ "$FAKE_APT" = sync ] && [ "$(grep -c '^apt-get.* update' "$FAKE_LOG")" = 1 ]; then
      echo "E: Failed to fetch http://archive.invalid/dists/x-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress? [IP: 192.0.2.1 80]" >&2
      exit 100
    fi ;;
  *)
    case "$FAKE_APT:$*" in held:*" -t "*) ;; held:*|broken:*)
      echo "The following packages have unmet dependencies:"
      echo " libsdl2-dev : Depends: libsdl2-2.0-0 (= 2.26.5+dfsg-1) but 2.26.4 is to be installed"
      echo "E: Unable to correct problems, you have held broken packages." >&2
      exit 100 ;;
    esac ;;
esac
""",
    "dpkg": '[ "$1" != --add-architecture ] || echo "dpkg $*" >> "$FAKE_LOG"',
    "dpkg-query": '[ -z "$FAKE_INSTALLED" ] || echo "install ok installed"',
    "sudo": 'exec "$@"',
    # ./dev run stops at its first build step: not what is tested here.
    "cmake": 'echo cmake >> "$FAKE_LOG"; exit 3',
}
INSTALL = "install -y -qq --no-install-recommends"
SYNC_ERROR = "E: Failed to fetch .* Mirror sync in progress\\?.*"
HELD_ERROR = "E: Unable to correct problems, you have held broken packages."
RETRIED = "fetched the indexes again and installed from {r}'s own suite \\(-t {r}\\)"

# (what, ./dev arguments, scenario, packages installed, exit code,
#  the calls with {linux} and {all} for the package lists and {r} for the
#  release, lines of the output that must show (regexes, the same names))
CASES = [
    ("run, archive fine", ["run"], "ok", False, 3,
     ["update -qq", f"{INSTALL} {{linux}}", "cmake"], []),
    ("run, mirror mid-sync", ["run"], "sync", False, 3,
     ["update -qq", "update -qq", f"{INSTALL} -t {{r}} {{linux}}", "cmake"],
     [f"^dev: the package archive failed \\({SYNC_ERROR}\\); {RETRIED}$"]),
    ("setup, indexes disagree", ["setup"], "held", False, 0,
     ["dpkg --add-architecture i386", "update -qq", f"{INSTALL} {{all}}", "update -qq",
      f"{INSTALL} -t {{r}} {{all}}"],
     [f"^dev: the package archive failed \\({re.escape(HELD_ERROR)}\\); {RETRIED}$"]),
    ("setup linux, nothing helps", ["setup", "linux"], "broken", False, 1,
     ["update -qq", f"{INSTALL} {{linux}}", "update -qq", f"{INSTALL} -t {{r}} {{linux}}"],
     ["^dev: could not install {linux}, neither as asked",
      "^ libsdl2-dev : Depends: libsdl2-2.0-0 .* but 2.26.4 is to be installed$"]),
    ("setup, all installed", ["setup"], "broken", True, 0, [], []),
]


def main():
    source = os.path.abspath(sys.argv[1])
    release = platform.freedesktop_os_release()["VERSION_CODENAME"]
    lists = {"linux": " ".join(setup_packages(source, "linux")),
             "all": " ".join(setup_packages(source))}
    failures = []
    if ":i386" in lists["linux"]:
        failures.append(f"./dev packages linux names an i386 package: {lists['linux']}")
    fakes = tempfile.TemporaryDirectory(prefix="brenlow-dev-setup-")
    for name, body in FAKES.items():
        path = pathlib.Path(fakes.name, name)
        path.write_text("#!/bin/sh\n" + body + "\n")
        path.chmod(0o755)
    log = pathlib.Path(fakes.name, "calls.log")
    for what, args, scenario, installed, code, calls, lines in CASES:
        log.write_text("")
        env = dict(os.environ, PATH=fakes.name + os.pathsep + os.environ["PATH"], FAKE_LOG=log,
                   FAKE_APT=scenario, FAKE_INSTALLED="1" if installed else "")
        r = subprocess.run([os.path.join(source, "dev"), *args], env=env, capture_output=True,
                           text=True, timeout=60)
        made = [c.removeprefix("apt-get ") for c in log.read_text().splitlines()]
        output = r.stdout + r.stderr
        wanted = [c.format(r=release, **lists) for c in calls]
        shown = [line.format(r=release, **{k: re.escape(v) for k, v in lists.items()})
                 for line in lines]
        checks = [(r.returncode == code, f"exit code {r.returncode}, expected {code}"),
                  (made == wanted, "calls:\n    " + "\n    ".join(made) + "\n  expected:\n    " +
                   "\n    ".join(wanted)),
                  *[(re.search(line, output, re.M), f"no line matching {line!r}")
                    for line in shown]]
        problems = [message for ok, message in checks if not ok]
        failures += [f"{what}: {p}\n  output:\n{output}" for p in problems]
        print(f"{what}: {'ok' if not problems else 'FAILED'}")
    for f in failures:
        print("FAIL:", f)
    print(f"{len(CASES)} cases, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
