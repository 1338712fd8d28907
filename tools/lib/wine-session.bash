# wine-session.bash: sourced by tools/test.sh, tools/run.sh and
# bench/startup/run.sh: a private Wine prefix (64-bit, or 32-bit when asked)
# and, unless asked to use an existing display, a virtual X display, both
# ended by wine_session_end. Made once per run: a new prefix takes ~10 s.
#
# wine_session_begin [use-display] [win32|win64]
#                  sets WINEPREFIX, DISPLAY, the Wine variables and
#                  WINE_LOADER (the wine of that architecture)
# wine_session_end

wine_session_begin() {
    local use_display=no arch=win64 option
    for option in "$@"; do
        case "$option" in
            use-display) use_display=yes ;;
            win32 | win64) arch=$option ;;
            *) echo "wine_session_begin: unknown option $option" >&2 && return 1 ;;
        esac
    done
    WINE_LOADER=/usr/lib/wine/wine64
    [ "$arch" = win32 ] && WINE_LOADER=/usr/lib/wine/wine
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=$arch
    WINE_SESSION_DIR=$(mktemp -d "${TMPDIR:-/tmp}/onymix-wine.XXXXXX")
    export WINEPREFIX="$WINE_SESSION_DIR/prefix"
    WINE_SESSION_XVFB=""
    if [ "$use_display" = no ] || [ -z "${DISPLAY:-}" ]; then
        # Xvfb picks a free display and writes its number to the pipe.
        mkfifo "$WINE_SESSION_DIR/display"
        Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$WINE_SESSION_DIR/display" \
            >/dev/null 2>&1 &
        WINE_SESSION_XVFB=$!
        local number=""
        read -r -t 20 number <"$WINE_SESSION_DIR/display" || true
        [ -n "$number" ] || { echo "Xvfb did not start" >&2; return 1; }
        export DISPLAY=":$number"
    fi
    "${BASH_SOURCE[0]%/*}/../../cmake/wine-run.sh" "$arch" || return 1
    # Keep the server up between programs for the whole run, and start
    # Wine's background services now, with nothing of ours as their standard
    # streams: a service started by a test program would hold the test's
    # output pipe open after the program ends.
    wineserver -p
    "$WINE_LOADER" cmd /c exit </dev/null >/dev/null 2>&1
}

wine_session_end() {
    [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null || true
    [ -n "${WINE_SESSION_XVFB:-}" ] && kill "$WINE_SESSION_XVFB" 2>/dev/null || true
    [ -n "${WINE_SESSION_DIR:-}" ] && rm -rf "$WINE_SESSION_DIR"
    WINE_SESSION_XVFB="" WINE_SESSION_DIR=""
    unset WINEPREFIX
    return 0
}
