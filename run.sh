#!/usr/bin/env bash
# Set-up, build and run the tool.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup
cmake --preset dev >/dev/null
cmake --build --preset dev
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: no display (DISPLAY and WAYLAND_DISPLAY are empty): run it from a desktop session." >&2
  exit 1
fi
exec build/dev/app/qv4120-settestdata
