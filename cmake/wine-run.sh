#!/usr/bin/env bash
# Runs a Windows program under Wine for CTest: wine-run.sh win64|win32 PROGRAM
# [ARGS...]. Uses the prefix in WINEPREFIX, or a private one per architecture
# under TMPDIR, and makes it first when it does not exist yet (without a
# PROGRAM it only makes it: tools/lib/wine-session.bash does so once per run).
set -euo pipefail
arch=win64
case "${1:-}" in win32 | win64) arch=$1 && shift ;; esac
if [ "$arch" = win32 ]; then
    loader=/usr/lib/wine/wine
    default_prefix="${TMPDIR:-/tmp}/onymix-wine32-$(id -u)"
else
    loader=/usr/lib/wine/wine64
    default_prefix="${TMPDIR:-/tmp}/onymix-wine-$(id -u)"
fi
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=$arch
export WINEPREFIX="${WINEPREFIX:-$default_prefix}"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$loader" wineboot -i >/dev/null 2>&1
    # Without a window manager Wine waits ~2 s for every closed window unless
    # it manages the windows itself.
    "$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    wineserver -w
    # Debian's Wine does not find its own Marlett font in a new prefix, and
    # the caption buttons then show letters in screenshots.
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
elif ! grep -q "^#arch=$arch\$" "$WINEPREFIX/system.reg"; then
    # A 64-bit prefix cannot host 32-bit programs, and Wine refuses the reverse.
    echo "wine-run.sh: the Wine prefix $WINEPREFIX is not a $arch prefix" >&2
    exit 1
fi
[ $# -gt 0 ] || exit 0
exec "$loader" "$@"
