#!/usr/bin/env bash
# Fuzzes the targets under fuzz/ with libFuzzer:
#
#   scripts/fuzz.sh [TARGET|all] [SECONDS]      e.g. scripts/fuzz.sh hex 60
#
# TARGET is a folder name under fuzz/ (hex, sequence, config_file, config_json; default
# all), SECONDS the fuzzing time of each target (default 60). Builds the targets with
# clang (-fsanitize=fuzzer,address,undefined) in build/fuzz, installing clang from
# Debian's packages when it is missing. Each target starts from its seed corpus in fuzz/NAME/corpus
# and keeps what it finds in build/fuzz/corpus/NAME; a crashing input is written to
# build/fuzz/crashes/NAME/ and the script exits 1. Copy such an input into the seed
# corpus once its fault is mended, so the test run replays it from then on.
set -euo pipefail
cd "$(dirname "$0")/.."

target=${1:-all}
seconds=${2:-60}
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: scripts/fuzz.sh [TARGET|all] [SECONDS]" >&2
  exit 2
fi

# clang and its runtime libraries (libFuzzer, the sanitizers); quiet when present.
packages=(clang libclang-rt-dev)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}" >&2
  $sudo apt-get update -qq >/dev/null
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The targets: folders under fuzz/ with a CMakeLists.txt naming one fuzz target.
declare -A binary
for dir in fuzz/*/; do
  name=$(basename "$dir")
  [ -f "$dir/CMakeLists.txt" ] || continue
  binary[$name]=$(sed -n 's/^ *trv810_add_fuzz_target( *\([A-Za-z0-9_]*\).*/\1/p' "$dir/CMakeLists.txt")
done
if [ "$target" = all ]; then
  mapfile -t names < <(printf '%s\n' "${!binary[@]}" | sort)
elif [ -n "${binary[$target]:-}" ]; then
  names=("$target")
else
  echo "unknown fuzz target '$target'; known: $(printf '%s ' "${!binary[@]}")" >&2
  exit 2
fi

build=build/fuzz
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DTRV810_FUZZ=ON -DTRV810_TESTS=OFF -DTRV810_GUI=OFF -DTRV810_BENCH=OFF >/dev/null
for name in "${names[@]}"; do
  cmake --build "$build" -j"${JOBS:-2}" --target "${binary[$name]}" >/dev/null
done

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# Inputs up to libFuzzer's default length (at most 4096 bytes, or the longest seed)
# for every target but the JSON one: a configuration's document is some 6 KB, and
# faults of its kind (nesting that overflows the stack) need large inputs to show.
declare -A max_len=([config_json]=1048576)
failed=0
for name in "${names[@]}"; do
  mkdir -p "$build/corpus/$name" "$build/crashes/$name"
  log="$build/$name.log"
  limit=()
  [ -n "${max_len[$name]:-}" ] && limit=(-max_len="${max_len[$name]}")
  echo "== $name: fuzzing for $seconds s (log: $log)"
  if "$build/fuzz/$name/${binary[$name]}" -max_total_time="$seconds" -print_final_stats=1 "${limit[@]}" \
    -artifact_prefix="$build/crashes/$name/" "$build/corpus/$name" "fuzz/$name/corpus" >"$log" 2>&1; then
    grep -E "^stat::(number_of_executed_units|new_units_added)" "$log" | sed 's/^stat::/   /'
  else
    failed=1
    echo "   FAILED; the end of the log:" >&2
    tail -n 30 "$log" >&2
    ls "$build/crashes/$name" >&2
  fi
done
exit $failed
