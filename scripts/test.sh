#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
# JOBS limits the parallel jobs of the build and the tests (default: one per core).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset ci
cmake --build --preset ci -j "${JOBS:-$(nproc)}"
ctest --preset ci -j "${JOBS:-$(nproc)}"
