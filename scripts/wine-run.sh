#!/usr/bin/env bash
# Runs a Windows program under Wine: the emulator CTest uses for the Windows build, and the way
# .ci/run starts tarnelvois.exe. Debian installs Wine's 64-bit loader outside PATH. The Wine prefix
# lives in the cache beside the libraries ($TARNELVOIS_WINEPREFIX overrides it); Wine's own
# chatter is silenced, the program's output and exit status pass through.
set -euo pipefail
cache=${TARNELVOIS_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tarnelvois-windows}
export WINEPREFIX=${TARNELVOIS_WINEPREFIX:-$cache/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}  # no Mono or Gecko installer prompts
wine=$(command -v wine64 || true)
[ -n "$wine" ] || wine=/usr/lib/wine/wine64
if [ ! -x "$wine" ]; then
  echo "wine-run: no wine64 (install the wine64 package)" >&2
  exit 127
fi
exec "$wine" "$@"
