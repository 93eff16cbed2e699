# Sourced by the fidelity scripts: checks the replay program is built and
# sets up wine64 with a private prefix under the work folder.
#   replay=... work=...; . wine_env.sh    (sets $wine)
if [ ! -f "$replay" ]; then
  echo "missing $replay: build the win64 preset (target gdi_replay) first" >&2
  exit 1
fi
wine=$(command -v wine64 || true)
[ -n "$wine" ] || wine=/usr/lib/wine/wine64
mkdir -p "$work"
export WINEDEBUG=-all
export WINEPREFIX="${BRENLOW_WINEPREFIX:-$work/wineprefix}"
[ -f "$WINEPREFIX/system.reg" ] || "$wine" wineboot -i >/dev/null 2>&1 || true
