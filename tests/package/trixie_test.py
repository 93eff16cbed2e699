"""The Debian package installed by apt into a minimal Debian 13 (trixie)
root that mmdebstrap makes in namespaces of its own: there brenlow answers
--help and --version and /S draws and ends on a move. Skipped when the
archive cannot be reached.

    python3 trixie_test.py <build tree> <version>
    python3 trixie_test.py root <root folder> <version> <shots>  (the hook inside)"""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import urllib.request

from deb import make_deb

RELEASE = "trixie"
# mmdebstrap's hooks run with a PATH without the sbin folders.
CHROOT = "/usr/sbin/chroot"
SKIP = 77  # the test's SKIP_RETURN_CODE
# The root's whole life (indexes, 210 packages, the checks): 5 minutes on a
# busy machine. Under the test's TIMEOUT, so that the root goes with it.
LIMIT = 840


def mirror():  # the Debian archive apt uses here, not the security one
    out = subprocess.run(["apt-get", "indextargets", "--format", "$(REPO_URI)", "Label: Debian",
                          "Created-By: Packages"], capture_output=True, text=True,
                         timeout=60).stdout.split()
    if not out:
        raise RuntimeError("apt knows no Debian archive here: see /etc/apt/sources.list.d")
    return out[0].rstrip("/") + "/"


def outside(build, version):
    archive = mirror()
    try:
        with urllib.request.urlopen(f"{archive}dists/{RELEASE}/InRelease", timeout=60) as r:
            r.read(1)
    except OSError as e:
        print(f"SKIPPED: the Debian archive {archive} cannot be reached ({e}): no {RELEASE} "
              "root to install into", flush=True)
        return SKIP
    work = os.path.abspath("trixie")
    # A run that was killed leaves its root behind (never its mounts).
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(os.path.join(work, "tmp"))
    deb = make_deb(build, version, work)
    here = os.path.abspath(__file__)
    command = [
        "mmdebstrap", "--mode=unshare", "--variant=apt", "--format=null", f"--include={deb}",
        "--hook-dir=/usr/share/mmdebstrap/hooks/file-mirror-automount",
        f'--customize-hook={sys.executable} {here} root "$1" {version} {os.getcwd()}',
        RELEASE, "/dev/null", f"deb {archive} {RELEASE} main"]
    print(" ".join(command), flush=True)
    p = subprocess.Popen(command, env=dict(os.environ, TMPDIR=os.path.join(work, "tmp")),
                         start_new_session=True)
    try:
        code = p.wait(timeout=LIMIT)
    except BaseException:
        # The namespaces end with it: the checks' X server and saver too.
        os.killpg(p.pid, signal.SIGKILL)
        p.wait()
        raise
    shutil.rmtree(work, ignore_errors=True)
    if code != 0:
        print(f"FAIL: mmdebstrap ended with code {code}")
        return 1
    print(f"{os.path.basename(deb)} installs and runs on Debian 13 ({RELEASE})")
    return 0


def inside(argv):
    from harness import run_case
    from linux_session import LinuxSession
    from saverrun import Saver, check, tiles

    root = argv[2]

    class ChrootSession(LinuxSession):  # programs run in the root, their home inside it
        def __init__(self):
            tempfile.tempdir = os.path.join(root, "tmp")
            super().__init__()

        def env(self):
            env = super().env()
            for name in ("HOME", "XDG_DATA_HOME"):
                env[name] = "/" + os.path.relpath(env[name], root)
            return env

        def command(self, program, *args):
            return [CHROOT, root, program, *args]

    def case_root(session, root, version, shots):
        def answer(*args):
            r = subprocess.run([CHROOT, root, *args], capture_output=True, text=True,
                               timeout=60, env={"PATH": "/usr/bin:/bin", "HOME": "/root"})
            check(r.returncode == 0, f"{args}: exit code {r.returncode}: {r.stdout}{r.stderr}")
            return r.stdout

        with open(os.path.join(root, "etc", "os-release")) as f:
            check(f"VERSION_CODENAME={RELEASE}\n" in f.read(), f"{root} is not {RELEASE}")
        sdl = answer("dpkg-query", "-W", "-f", "${Version}", "libsdl2-2.0-0")
        usage = answer("/usr/bin/brenlow", "--help")
        check("/S" in usage.split(), f"--help printed {usage!r}")
        out = answer("/usr/bin/brenlow", "--version")
        check(out == f"brenlow {version}\n", f"--version printed {out!r}")
        print(f"{RELEASE} (SDL {sdl}): --help names /S; --version: {version}")

        saver = Saver(session, "/usr/bin/brenlow", shape="Quadrati")
        saver.wait(tiles, 120, "tiles").save(os.path.join(shots, "trixie-tiles.png"))
        latency = saver.end_by_move(17)
        print(f"{RELEASE}: brenlow /S drew its tiles and ended {latency:.3f} s after a "
              "sideways move, exit code 0")

    return run_case({"case_root": case_root}, ChrootSession, argv)


if __name__ == "__main__":
    if len(sys.argv) == 5 and sys.argv[1] == "root":
        sys.exit(inside(sys.argv))
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    sys.exit(outside(*sys.argv[1:]))
