#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang into build-fuzz/ and runs
# each for a bounded time on a copy of its seed corpus. Fails on a finding
# (the input that broke a target is left in build-fuzz/findings/).
#   FUZZ_SECONDS   seconds per target (default 60)
#   FUZZ_SEED      the random seed (default 1: a run repeats the inputs of the
#                  run before it, so CI runs what was tried before landing;
#                  give another seed to look further)
#   FUZZ_TARGETS   the targets to run (default: the list below)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-fuzz"
seconds="${FUZZ_SECONDS:-60}"

# The targets CI runs.
targets=(fuzz_terminal_input fuzz_command_line fuzz_command_interpreter fuzz_default_config fuzz_list_config
         fuzz_list_file)
if [ -n "${FUZZ_TARGETS:-}" ]; then
  read -r -a targets <<< "$FUZZ_TARGETS"
fi

"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
      -DPAVUTO_FUZZ=ON -DPAVUTO_TESTS=OFF -DPAVUTO_BENCH=OFF >/dev/null
cmake --build "$build" -j"${FUZZ_JOBS:-2}" --target fuzz_terminal_input fuzz_command_line fuzz_command_interpreter \
      fuzz_default_config fuzz_list_config fuzz_list_file

# The targets' temporary directories stay inside the build folder.
export TMPDIR="$build/tmp"
mkdir -p "$TMPDIR" "$build/findings"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"

failed=()
for t in "${targets[@]}"; do
  corpus="$build/corpus/$t"
  mkdir -p "$corpus"
  [ -d "$root/fuzz/corpus/$t" ] && cp -n "$root/fuzz/corpus/$t"/* "$corpus"/ 2>/dev/null || true
  echo "== $t: ${seconds} s"
  dict=()
  [ -f "$root/fuzz/$t.dict" ] && dict=(-dict="$root/fuzz/$t.dict")
  if ! "$build/bin/$t" "${dict[@]}" -seed="${FUZZ_SEED:-1}" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=4096 -print_final_stats=1 \
        -artifact_prefix="$build/findings/$t-" "$corpus" > "$build/$t.log" 2>&1; then
    tail -n 60 "$build/$t.log"
    failed+=("$t")
  else
    grep -E '^stat::number_of_executed_units|^Done' "$build/$t.log" | tail -n 2 || true
  fi
done
echo "fuzz: $((${#targets[@]} - ${#failed[@]})) passed, ${#failed[@]} failed"
if [ ${#failed[@]} -gt 0 ]; then
  echo "findings in: ${failed[*]} (the inputs are in $build/findings/)"
  exit 1
fi
