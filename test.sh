#!/usr/bin/env bash
# Set-up, one build with AddressSanitizer and UndefinedBehaviorSanitizer (the asan preset), and
# every test in it. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan
