"""The harness's former single module, for the scripts that still import it
by this name; new code imports harness, xsession or winesession."""

from harness import poll, run_case, tool  # noqa: F401
