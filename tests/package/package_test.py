"""The Debian package as cpack builds it: lintian, its copyright file, and
the unpacked programs without a display, in a host's window and /C.

    python3 package_test.py install <build tree> <version>"""

import os
import pathlib
import re
import sys

from harness import run_case, tool
from deb import make_deb
from saverrun import check, tiles
from host_test import WIN_H, WIN_W, WIN_X, WIN_Y, WINDOW, gtk_env
from linux_session import LinuxSession

LICENSE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "LICENSE")
# What the usage must name: the run modes and the hosts' options.
USAGE_WORDS = ("/S", "/C", "-root", "-window-id", "-shape", "-picture", "--version")


def check_copyright(path):
    """Every file under the Expat licence of LICENSE, its holders and its text."""
    license = pathlib.Path(LICENSE).read_text(encoding="utf-8")
    holders = re.search(r"^Copyright \(c\) (.+)$", license, re.M).group(1)
    text = license[license.index("Permission"):].strip()
    paragraphs = [p for p in pathlib.Path(path).read_text(encoding="utf-8").split("\n\n")
                  if p.strip()]
    files = [p for p in paragraphs if p.startswith("Files:")]
    check([p.splitlines() for p in files] ==
          [["Files: *", f"Copyright: {holders}", "License: Expat"]],
          f"{path}: its Files paragraphs are {files}")
    body = [p.split("\n", 1)[1] for p in paragraphs if p.startswith("License: Expat\n")]
    unfolded = [re.sub(r"^ \.?", "", b, flags=re.M).strip() for b in body]
    check(unfolded == [text], f"{path}: no Expat licence paragraph with the text of LICENSE")
    print(f"copyright: every file Expat, {holders}, the text of LICENSE")


def case_install(session, build, version):
    work = os.path.join(session.home, "package")
    deb = make_deb(build, version, work)

    out = session.finished(tool("lintian"), "--fail-on", "error,warning", deb)
    tags = [line for line in out.splitlines() if line[:2] in ("E:", "W:")]
    check(not tags, "lintian:\n" + "\n".join(tags))
    print(f"{os.path.basename(deb)}: lintian reports no error and no warning")

    root = os.path.join(work, "root")
    session.finished(tool("dpkg-deb"), "-x", deb, root)
    exe = os.path.join(root, "usr", "bin", "brenlow")
    for path in ("usr/libexec/xscreensaver/brenlow", "usr/share/xscreensaver/config/brenlow.xml",
                 "usr/share/brenlow/BR_LOW.bmp"):
        check(os.path.exists(os.path.join(root, path)), f"not in the package: {path}")
    check_copyright(os.path.join(root, "usr", "share", "doc", "brenlow", "copyright"))

    # No display, a data folder that does not exist yet: the usage names
    # the settings file there and leaves the folder as it was.
    data = os.path.join(session.home, "elsewhere")
    quiet = {"DISPLAY": None, "WAYLAND_DISPLAY": None, "XDG_DATA_HOME": data}
    answers = {" ".join(args): session.finished(exe, *args, env=quiet, timeout=30)
               for args in (["--help"], ["-h"], ["-root", "--help"], ["--version"])}
    usage = answers["--help"]
    check(answers["-h"] == answers["-root --help"] == usage, "-h, -root --help and --help differ")
    missing = [w for w in USAGE_WORDS if w not in usage.split()]
    check(not missing, f"the usage does not name {missing}:\n{usage}")
    settings = os.path.join(data, "brenlow", "brlscsav.ini")
    check(settings in usage, f"the usage does not name {settings}:\n{usage}")
    check(not os.path.exists(data), "--help made the data folder")
    check(answers["--version"] == f"brenlow {version}\n",
          f"--version printed {answers['--version']!r}")
    print(f"--help names the modes, the options and {settings}; --version: {version}")

    # The idle service: the user unit starts the program the package holds.
    unit = pathlib.Path(root, "usr", "lib", "systemd", "user", "brenlow-idle.service")
    starts = [line.split("=", 1)[1] for line in unit.read_text().splitlines()
              if line.startswith("ExecStart=")]
    check(starts == ["/usr/bin/brenlow-idle"], f"the unit starts {starts}")
    out = session.finished(os.path.join(root, starts[0].lstrip("/")), "--version", env=quiet)
    check(out == f"brenlow-idle {version}\n", f"brenlow-idle --version: {out!r}")
    print(f"brenlow-idle.service starts {starts[0]}, which is brenlow-idle {version}")

    # As a host runs it: tiles inside the host's window.
    window = session.host_window(WIN_W, WIN_H, WIN_X, WIN_Y)
    run = session.start(exe, "-window-id", hex(window.id), "-fps", "-shape", "Quadrati",
              "-picture", os.path.join(root, "usr", "share", "brenlow", "BR_LOW.bmp"))
    img = session.wait_screen(lambda i: tiles(i, WINDOW), 60, "tiles in the host's window")
    img.save(os.path.join(os.getcwd(), "package-hosted.ppm"))
    check(run.poll() is None, f"the hosted run ended: {session.output(run)!r}")
    print("hosted: the unpacked program draws its tiles in the host's window")

    # Its settings window, from the module the package put beside it.
    run = session.start(exe, "/C", env=gtk_env())
    session.while_running(run, lambda: session.find_windows("^Impostazioni$"), 60,
                          "the settings window")
    print("/C: the settings window opens from the unpacked tree")


if __name__ == "__main__":
    sys.exit(run_case(globals(), LinuxSession))
