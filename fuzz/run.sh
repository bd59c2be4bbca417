#!/usr/bin/env bash
# Runs the fuzz targets one after another, each for a bounded time.
#
#   fuzz/run.sh BUILD_DIR [SECONDS] [TARGET...]
#
# SECONDS defaults to 60 per target; without TARGETs every target runs. Each
# target starts from a copy of its seed corpus (fuzz/corpus/<target>) kept in
# BUILD_DIR/fuzz-corpus/<target>, which grows from run to run while the seeds
# in the repository stay small; fuzz/dict/<target>.dict gives it the tokens
# of its input. The files the targets write go to a scratch
# folder in memory (/dev/shm when there is one). A failing input is saved in
# BUILD_DIR/fuzz-artifacts/<target>/ and the run ends with status 1.
set -uo pipefail

build=${1:?usage: fuzz/run.sh BUILD_DIR [SECONDS] [TARGET...]}
seconds=${2:-}
[ -n "$seconds" ] || seconds=60
shift $(($# >= 2 ? 2 : $#))

here=$(cd "$(dirname "$0")" && pwd)

# The longest input worth trying for each target.
declare -A max_len=(
  [fuzz_pagewalk]=4096
  [fuzz_settings]=512
  [fuzz_importconvert]=4096
  [fuzz_extract]=4096
  [fuzz_numberlist]=256
  [fuzz_pagesave]=2048
)
all_targets=(fuzz_pagewalk fuzz_settings fuzz_importconvert fuzz_extract fuzz_numberlist fuzz_pagesave)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all_targets[@]}")

if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  scratch=$(mktemp -d /dev/shm/lm-fuzz-run.XXXXXX)
else
  scratch=$(mktemp -d "${TMPDIR:-/tmp}/lm-fuzz-run.XXXXXX")
fi
trap 'rm -rf "$scratch"' EXIT
export LM_FUZZ_DIR=$scratch
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}

failed=()
for target in "${targets[@]}"; do
  binary=$build/bin/$target
  if [ ! -x "$binary" ]; then
    echo "fuzz: $binary is missing (build with -DLABELMAKER_FUZZ=ON first)" >&2
    failed+=("$target")
    continue
  fi
  corpus=$build/fuzz-corpus/$target
  artifacts=$build/fuzz-artifacts/$target
  logs=$build/fuzz-logs
  mkdir -p "$corpus" "$artifacts" "$logs"
  cp -n "$here/corpus/$target"/* "$corpus"/ 2>/dev/null || true
  dict=()
  [ -f "$here/dict/$target.dict" ] && dict=(-dict="$here/dict/$target.dict")
  log=$logs/$target.log
  echo "fuzz: $target for ${seconds}s (max_len ${max_len[$target]:-4096}), log $log"
  "$binary" -max_total_time="$seconds" -max_len="${max_len[$target]:-4096}" -timeout=60 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts/" "${dict[@]}" "$corpus" \
    >"$log" 2>&1
  status=$?
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$')
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1)
  if [ $status -ne 0 ]; then
    echo "fuzz: $target FAILED (status $status); the input is in $artifacts/" >&2
    tail -n 60 "$log" >&2
    failed+=("$target")
  else
    echo "fuzz: $target passed: ${runs:-?} inputs, ${cov:-cov: ?}, corpus $(ls "$corpus" | wc -l)"
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: failed: ${failed[*]}" >&2
  exit 1
fi
