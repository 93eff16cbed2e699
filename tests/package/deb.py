"""The Debian package of a build tree, as cpack makes it."""

import glob
import os
import subprocess

from harness import tool


def make_deb(build, version, folder):
    """The one .deb that cpack makes from the build tree in folder."""
    r = subprocess.run([tool("cpack"), "-G", "DEB", "-B", folder, "--config",
                        os.path.join(build, "CPackConfig.cmake")], cwd=build,
                       capture_output=True, text=True, timeout=600)
    if r.returncode != 0:
        raise AssertionError(f"cpack: exit code {r.returncode}:\n{r.stdout}{r.stderr}")
    debs = glob.glob(os.path.join(folder, "*.deb")) + glob.glob(os.path.join(folder, "*.ddeb"))
    if [os.path.basename(d) for d in debs] != [f"brenlow_{version}_amd64.deb"]:
        raise AssertionError(f"cpack made {debs}, not brenlow_{version}_amd64.deb")
    return debs[0]
