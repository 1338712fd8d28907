#!/usr/bin/env bash
# Builds Onymix and starts it: the x86_64 Windows build under 64-bit Wine, on
# the X display in $DISPLAY. Without a display it runs on a virtual one
# (Xvfb), saves a screenshot of the main window, prints where, and closes the
# program again. stored.txt lives beside the executable, in build/mingw-x86_64.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh run
cmake --preset mingw-x86_64 >/dev/null
cmake --build --preset mingw-x86_64 -j "$(nproc)" --target onymix >/dev/null
exe=build/mingw-x86_64/onymix.exe

headless=yes
[ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1 && headless=no

source tools/lib/wine-session.bash
trap wine_session_end EXIT
if [ "$headless" = no ]; then
    wine_session_begin use-display
    echo "Starting Onymix on $DISPLAY (a fresh Wine prefix; ends when you quit)."
    (cd "$(dirname "$exe")" && /usr/lib/wine/wine64 onymix.exe)
    exit $?
fi

wine_session_begin
(cd "$(dirname "$exe")" && exec /usr/lib/wine/wine64 onymix.exe) &
program=$!
geometry=""
for _ in $(seq 100); do
    # The main window's rectangle (WIDTHxHEIGHT+X+Y) once it is shown: it
    # exists earlier, unmapped, at the top left, before it is centred.
    geometry=$(xwininfo -name "Tavrelon - Onymix" 2>/dev/null | awk '
        /Absolute upper-left X:/ { x = $NF } /Absolute upper-left Y:/ { y = $NF }
        /Width:/ { w = $NF } /Height:/ { h = $NF } /Map State: IsViewable/ { shown = 1 }
        END { if (shown) print w "x" h "+" x "+" y }' || true)
    [ -n "$geometry" ] && break
    sleep 0.1
done
if [ -z "$geometry" ]; then
    echo "Onymix did not show its main window" >&2
    exit 1
fi
mkdir -p build/screenshots
shot=build/screenshots/onymix-main.png
size=${geometry%%+*}
offset=${geometry#"$size"}
# A window that is mapped but not yet painted is one flat colour: take the
# picture again until it shows more than that.
for _ in $(seq 50); do
    sleep 0.2
    import -window root -crop "$size$offset" +repage "$shot"
    [ "$(identify -format %k "$shot")" -gt 2 ] && break
done
[ "$(identify -format %k "$shot")" -gt 2 ] ||
    echo "warning: the main window showed nothing but one colour within 10 s" >&2
echo "Onymix is running on a virtual display; screenshot of its main window: $(pwd)/$shot"
# Close it as its close box would: no question, nothing saved.
/usr/lib/wine/wine64 taskkill /im onymix.exe >/dev/null 2>&1 || true
wait "$program" || true
