#!/bin/sh
# Builds the libFuzzer targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer,
# and runs each for a bounded time from the seed corpus the build writes. Any finding
# (crash, sanitizer report, leak, timeout) fails. FUZZ_SECONDS overrides the 30 s per target.
set -eu
cd "$(dirname "$0")/.."
SECONDS_EACH="${FUZZ_SECONDS:-30}"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELTRANE_FUZZ=ON -DVELTRANE_TESTS=OFF -DVELTRANE_BENCH=OFF >/dev/null
out=build-fuzz/fuzz
# The targets (and the seed writer) keep their preference folders here, not in the
# system's temporary folder.
rm -rf "$out/tmp" && mkdir -p "$out/tmp"
TMPDIR="$(cd "$out/tmp" && pwd)"
export TMPDIR
cmake --build build-fuzz --target fuzz_all
for target in "$out"/fuzz_*; do
  name=$(basename "$target")
  [ "$name" = fuzz_seeds ] && continue
  [ -x "$target" ] || continue
  seeds="$out/seeds/${name#fuzz_}"
  work="$out/work/${name#fuzz_}"
  rm -rf "$work" && mkdir -p "$work"
  echo "== $name: ${SECONDS_EACH}s"
  # New inputs go to the work folder, so the seeds stay as the build wrote them.
  "$target" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$out/$name-" "$work" "$seeds" 2>"$out/$name.log" || {
    tail -n 60 "$out/$name.log"
    echo "fuzzing found a fault in $name (log: $out/$name.log)" >&2
    exit 1
  }
  grep -E '^stat::number_of_executed_units|^Done' "$out/$name.log" || true
done
