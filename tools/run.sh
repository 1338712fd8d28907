#!/usr/bin/env bash
# Builds Onymix and runs it: for now the command-line generator, natively.
# Arguments are passed on (see onymix-cli --help).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake --preset native >/dev/null
cmake --build --preset native -j "$(nproc)" --target onymix-cli >/dev/null
exec build/native/onymix-cli "$@"
