#!/usr/bin/env bash
# Set-up, build and run the tool.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup
cmake --preset dev >/dev/null
cmake --build --preset dev
echo "run.sh: the window is not built yet; this will open it against the simulated radio."
