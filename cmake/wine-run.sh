#!/usr/bin/env bash
# Runs a 64-bit Windows program under Wine for CTest. Uses the prefix in
# WINEPREFIX when the test run has made one (tools/test.sh does, once per
# run); otherwise makes a private one under the build folder's tmp.
set -euo pipefail
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
if [ -z "${WINEPREFIX:-}" ]; then
    export WINEPREFIX="${TMPDIR:-/tmp}/onymix-wine-$(id -u)"
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    wineserver -w
fi
exec /usr/lib/wine/wine64 "$@"
