#!/usr/bin/env bash
# Tests the web page as it ships: makes the zip (tools/release-web.sh),
# unpacks it into a temporary folder and runs web/test/test_page.py on it in
# headless Chromium (python3-selenium), opened as a file and from a local
# server that the tests start and stop. Names are checked against a native
# onymix-cli built here (the release-native preset, in build/test-web-cli)
# and the golden files. Installs what it lacks first (tools/install-deps.sh
# web). Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
tools/install-deps.sh web

work=$(mktemp -d "${TMPDIR:-/tmp}/onymix-web.XXXXXX")
trap 'rm -rf "$work"' EXIT

zip=$(tools/release-web.sh "$work/dist" | tail -n 1)
unzip -q "$zip" -d "$work/page"

# The native onymix-cli to check the names against: the one given in
# ONYMIX_CLI (tools/test.sh gives its own build's), or one built here.
cli=${ONYMIX_CLI:-}
if [ -z "$cli" ]; then
    cmake --preset release-native -B build/test-web-cli >/dev/null
    cmake --build build/test-web-cli -j "$(nproc)" --target onymix-cli >/dev/null
    cli=$root/build/test-web-cli/onymix-cli
fi
cli=$(realpath "$cli")

ONYMIX_PAGE="$work/page/$(basename "$zip" .zip)" ONYMIX_ZIP="$zip" ONYMIX_CLI="$cli" \
    ONYMIX_SOURCE_DIR="$root" /usr/bin/python3 web/test/test_page.py
