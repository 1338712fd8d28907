#!/usr/bin/env bash
# Builds the web page (the WebAssembly preset, build/wasm/web) and serves it
# on 127.0.0.1 for a look, with Python's static server, until Ctrl-C.
#
# tools/web.sh [PORT]   (8000 when left out)
set -euo pipefail
cd "$(dirname "$0")/.."
port=${1:-8000}
tools/install-deps.sh wasm
cmake --preset wasm >/dev/null
cmake --build --preset wasm -j "$(nproc)" --target onymix_web >/dev/null
echo "Onymix in the browser: http://127.0.0.1:$port/ (Ctrl-C stops the server)"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build/wasm/web
