#!/usr/bin/env bash
# Set-up, build with the dev preset, run every test. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup
cmake --preset dev >/dev/null
cmake --build --preset dev
ctest --preset dev
