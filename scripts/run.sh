#!/usr/bin/env bash
# Builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset dev
cmake --build --preset dev -j "$(nproc)" --target Tavrix2_2r10
program="build/dev/app/ui/Tavrix2_2r10"
if [ -x "$program" ]; then
  exec "$program" "$@"
fi
echo "The program was not built: see the messages above." >&2
exit 1
