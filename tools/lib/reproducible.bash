# reproducible.bash: sourced by the release scripts (tools/release.sh,
# tools/release-python.sh, tools/release-js.sh, tools/release-web.sh), the one
# place of what makes their files the same bytes from any clone at any time:
# the settings below and the helpers that fix the time stamps, modes and
# order of what they pack.

# Sorting, dates and messages alike under any locale and time zone. Files
# made here are readable by all whatever the caller's umask: the check of the
# release builds its second clone under umask 077.
export LC_ALL=C TZ=UTC
umask 022
# Every time stamp in a package is the commit's date, unless the caller
# chose one.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$(dirname "${BASH_SOURCE[0]}")" log -1 --format=%ct)
fi
export SOURCE_DATE_EPOCH

# stamp PATH...: every time stamp under the paths set to SOURCE_DATE_EPOCH
# (of a link itself, not of what it points to).
stamp() {
    find "$@" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
}

# fixed_modes PATH...: folders 0755, files 0755 when their owner may run
# them and 0644 otherwise, whatever umask they were made or checked out
# under.
fixed_modes() {
    find "$@" -type d -exec chmod 0755 {} +
    find "$@" -type f -perm -u=x -exec chmod 0755 {} +
    find "$@" -type f ! -perm -u=x -exec chmod 0644 {} +
}

# zip_folder ZIP DIR [ENTRY...]: writes ZIP anew from the entries under DIR
# (paths relative to it, a folder as "name/"), in the order given, or when
# none are given from everything under DIR in sorted order, each folder
# before what it holds. The modes under DIR are fixed and its time stamps
# set first.
zip_folder() {
    local zip dir=$2 entries
    zip=$(realpath -m "$1")
    shift 2
    fixed_modes "$dir"
    stamp "$dir"
    if [ $# -eq 0 ]; then
        mapfile -t entries < <(cd "$dir" &&
            find . -mindepth 1 \( -type d -printf '%P/\n' -o -printf '%P\n' \) | sort)
        set -- "${entries[@]}"
    fi
    rm -f "$zip"
    # -X: no owner ids or extra time fields, which differ between machines.
    (cd "$dir" && zip -X -9 -q "$zip" "$@")
}
