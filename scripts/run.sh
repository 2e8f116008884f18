#!/usr/bin/env bash
# Builds the program and starts it from the data folder.
#
# The program keeps its data (archive, settings, stakes, ratings) beside its own file. So that a
# rebuild or a deleted build folder never takes the user's data with it, the freshly built program
# is copied into data/ at the repository's root and started from there.
#
# JOBS limits the build's parallel jobs (default: one per core), e.g. JOBS=2 scripts/run.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset dev -DTAVRIX_WERROR=OFF
cmake --build --preset dev -j "${JOBS:-$(nproc)}" --target Tavrix2_2r10
built="build/dev/app/ui/Tavrix2_2r10"
if [ ! -x "$built" ]; then
  echo "The program was not built: see the messages above." >&2
  exit 1
fi
mkdir -p data
# Replace the program by a rename, so a copy that is still running keeps its own file.
cp "$built" data/.Tavrix2_2r10.new
mv -f data/.Tavrix2_2r10.new data/Tavrix2_2r10
exec data/Tavrix2_2r10 "$@"
