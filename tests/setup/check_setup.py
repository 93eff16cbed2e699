#!/usr/bin/env python3
"""Every external command the builds, tests and scripts run comes from a
package of the base image (base-image-packages.txt) or one `./dev setup`
installs, directly or as a dependency.

    check_setup.py <source dir>"""

import os
import pathlib
import re
import subprocess
import sys

# Commands run by the harnesses, the CMake test definitions and the scripts
# that the scan below cannot see (shell scripts, CMake, fixed paths).
COMMANDS = [
    "cmake", "ctest", "ninja", "g++", "pkg-config", "python3", "clang", "clang++",
    "i686-w64-mingw32-g++", "x86_64-w64-mingw32-g++",
    "i686-w64-mingw32-windres", "x86_64-w64-mingw32-windres",
    "/usr/lib/wine/wine", "/usr/lib/wine/wine64", "file", "mmdebstrap",
    "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1",
]

# subprocess.run(["cmd", ...]) and tool("cmd") in the Python harnesses.
CALL = re.compile(r'(?:subprocess\.\w+\(\s*\[\s*|(?<![\w.])tool\(\s*)"([\w.+/-]+)"')


def scanned_commands(source):
    return {command for path in pathlib.Path(source, "tests").rglob("*.py")
            for line in path.read_text(encoding="utf-8").splitlines()
            if not line.lstrip().startswith("#") for command in CALL.findall(line)}


def setup_packages(source, *which):  # ./dev packages [linux]
    out = subprocess.run([os.path.join(source, "dev"), "packages", *which], capture_output=True,
                         text=True, check=True, timeout=60).stdout
    return out.split()


def closure(packages):
    """The packages and every package they depend on, directly or not."""
    out = subprocess.run(["apt-cache", "depends", "--recurse", "--important", *packages],
                         capture_output=True, text=True, timeout=300).stdout
    # A package's own line, or one of its "  |Depends: <virtual>" lines.
    names = re.findall(r"^ *\|?(?:(?:Pre)?Depends: )?<?([^\s:<>]+)", out, re.M)
    return set(names) | {p.split(":")[0] for p in packages}


def owners(paths):
    """{path: package}, links followed (alternatives)."""
    real = {path: os.path.realpath(path) for path in paths}
    r = subprocess.run(["dpkg", "-S", *sorted(set(real.values()) | set(paths))],
                       capture_output=True, text=True, timeout=120)
    found = {}
    for line in r.stdout.splitlines():
        package, _, path = line.partition(": ")
        found[path.strip()] = package.split(",")[0].split(":")[0].strip()
    return {path: found.get(real[path]) or found.get(path) for path in paths}


def main():
    source = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else ".")
    base = set(pathlib.Path(__file__).with_name("base-image-packages.txt").read_text().split())
    setup = setup_packages(source)
    allowed = base | closure(setup)
    problems = []
    commands = sorted(set(COMMANDS) | scanned_commands(source))
    candidates = {}
    for command in commands:
        # Every copy on the PATH: a machine may put a stand-in of its own
        # first (as /usr/local/bin does here), the packaged one must exist.
        if command.startswith("/"):
            candidates[command] = [command] if os.path.exists(command) else []
        else:
            candidates[command] = [os.path.join(d, command)
                                   for d in os.environ["PATH"].split(os.pathsep)
                                   if os.access(os.path.join(d, command), os.X_OK)]
    owner = owners([p for paths in candidates.values() for p in paths])
    for command, paths in candidates.items():
        packages = [owner[p] for p in paths if owner[p]]
        if not paths:
            problems.append(f"{command}: not found on this machine")
        elif not packages:
            problems.append(f"{command} ({paths[0]}): no package provides it")
        elif not any(p in allowed for p in packages):
            problems.append(f"{command} ({paths[0]}): its package {packages[0]} is neither in "
                            "the base image nor installed by ./dev setup")
    for problem in problems:
        print("FAIL:", problem)
    print(f"{len(commands)} commands checked against {len(setup)} setup packages "
          f"({len(allowed - base)} with their dependencies) and {len(base)} of the base image; "
          f"{len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
