#!/usr/bin/env bash
# Builds the fuzz preset (clang, libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) and
# runs each fuzz target for the given time, a few at a time, from its seeds and kept
# regression inputs. Prints executions and findings per target; exits 1 on any finding.
#
#   scripts/fuzz.sh [TARGET|all] [SECONDS]
#
# PARALLEL targets run at once (default 2); JOBS limits the build's parallel jobs. Corpora
# grow under build/fuzz/corpus/TARGET; a finding's input lands in build/fuzz/findings/TARGET,
# to be kept under fuzz/regressions/TARGET once its fault is mended.
set -euo pipefail
cd "$(dirname "$0")/.."

target="${1:-all}"
seconds="${2:-300}"
parallel="${PARALLEL:-2}"

scripts/install-deps.sh

# The compiler and the fuzzer's run-time, installed the way install-deps.sh installs the rest.
missing=()
for p in clang-14 libclang-rt-14-dev; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -ne 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
  fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q </dev/null
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
fi

cmake --preset fuzz
cmake --build --preset fuzz -j "${JOBS:-$(nproc)}"

# The targets that read files write them to the temporary folder for every input: one in
# memory keeps them from waiting on the disk.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then
  export TMPDIR=/dev/shm
fi

bin=build/fuzz/fuzz
export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
if [ "$target" = all ]; then
  mapfile -t targets < <(for f in fuzz/targets/*.cpp; do basename "$f" .cpp; done)
else
  if [ ! -x "$bin/fuzz_$target" ]; then
    echo "unknown fuzz target: $target" >&2
    exit 2
  fi
  targets=("$target")
fi

# One target: seeds and regression inputs into its corpus, then libFuzzer for the given time.
run_target() {
  local t="$1"
  local corpus="build/fuzz/corpus/$t" findings="build/fuzz/findings/$t" log="build/fuzz/logs/$t.log"
  rm -rf "$findings" "$log"
  mkdir -p "$corpus" "$findings" build/fuzz/logs
  if ! "$bin/fuzz_seeds" "$t" "$corpus" >/dev/null 2>"$log"; then
    echo "$t: the seeds could not be written (see $log)" >&2
    return 0
  fi
  if [ -d "fuzz/regressions/$t" ]; then
    cp fuzz/regressions/"$t"/* "$corpus"/ 2>/dev/null || true
  fi
  # A crash, leak, slow input or memory blow-up stops the target and saves its input;
  # -timeout and -rss_limit_mb are the bounds of one input.
  "$bin/fuzz_$t" "$corpus" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 \
    -rss_limit_mb=2048 -max_len=4096 -artifact_prefix="$findings/" >"$log" 2>&1 || true
}

active=0
for t in "${targets[@]}"; do
  run_target "$t" &
  active=$((active + 1))
  if [ "$active" -ge "$parallel" ]; then
    wait -n || true
    active=$((active - 1))
  fi
done
wait || true

status=0
printf '%-14s %14s %10s  %s\n' TARGET EXECUTIONS FINDINGS CORPUS
for t in "${targets[@]}"; do
  log="build/fuzz/logs/$t.log"
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" 2>/dev/null | grep -o '[0-9]*$' | tail -1 || true)
  findings=$(find "build/fuzz/findings/$t" -type f | wc -l)
  corpus=$(find "build/fuzz/corpus/$t" -type f | wc -l)
  printf '%-14s %14s %10s  %s\n' "$t" "${execs:-?}" "$findings" "$corpus"
  if [ "$findings" -ne 0 ] || [ -z "$execs" ]; then
    status=1
  fi
done
if [ "$status" -ne 0 ]; then
  echo "Findings (or a target that did not run): see build/fuzz/logs and build/fuzz/findings." >&2
fi
exit "$status"
