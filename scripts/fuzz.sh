#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) in build-fuzz/ and runs
# each for a bounded time, starting from its committed inputs in fuzz/corpus/.
#   scripts/fuzz.sh [seconds-per-target] [target...]
# Fails on the first crash, leak, timeout or failed check; the input that did it is
# kept as build-fuzz/fuzz-findings/<target>-crash-*.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-20}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(stream packet answer tarball image manifest config settings)
fi
case "$seconds" in
    '' | *[!0-9]*) echo "seconds must be a whole number: $seconds" >&2; exit 2 ;;
esac

scripts/setup.sh
build_dir=build-fuzz
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DR58_FUZZ=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo
build_targets=()
for t in "${targets[@]}"; do
    build_targets+=("fuzz_$t")
done
cmake --build "$build_dir" --parallel "$(nproc)" --target "${build_targets[@]}"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"
export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp:print_suppressions=0:${LSAN_OPTIONS:-}"

findings="$PWD/$build_dir/fuzz-findings"
mkdir -p "$findings"
for t in "${targets[@]}"; do
    # New inputs go to a working copy, so the committed corpus only changes by hand.
    work="$PWD/$build_dir/fuzz-work/$t"
    mkdir -p "$work"
    # The JSON readers need whole allocation stacks to match fuzz/lsan.supp.
    unwind=1
    case "$t" in manifest | config | settings) unwind=0 ;; esac
    echo "== fuzz_$t for ${seconds}s"
    if ! ASAN_OPTIONS="fast_unwind_on_malloc=$unwind:$ASAN_OPTIONS" "$build_dir/fuzz/fuzz_$t" "$work" "fuzz/corpus/$t" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
        -print_final_stats=1 -artifact_prefix="$findings/$t-" >"$build_dir/fuzz-$t.log" 2>&1; then
        tail -n 60 "$build_dir/fuzz-$t.log" >&2
        echo "fuzz_$t failed; see $build_dir/fuzz-$t.log and $findings/" >&2
        exit 1
    fi
    grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$build_dir/fuzz-$t.log" || true
done
echo "all fuzzers ran without a finding"
