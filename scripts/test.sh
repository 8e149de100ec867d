#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
#   scripts/test.sh             plain build in build/
#   scripts/test.sh --sanitize  AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
#   scripts/test.sh --tsan      ThreadSanitizer build in build-tsan/
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=build
cmake_args=()
for arg in "$@"; do
    case "$arg" in
        --sanitize) build_dir=build-asan; cmake_args+=(-DR58_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug) ;;
        --tsan) build_dir=build-tsan; cmake_args+=(-DR58_TSAN=ON -DCMAKE_BUILD_TYPE=Debug) ;;
        *) echo "unknown option: $arg" >&2; exit 2 ;;
    esac
done
if [ "${CI:-}" = "true" ]; then
    cmake_args+=(-DR58_WERROR=ON)
fi

scripts/setup.sh
cmake -S . -B "$build_dir" -G Ninja "${cmake_args[@]}"
cmake --build "$build_dir" --parallel "$(nproc)"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:${ASAN_OPTIONS:-}"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0:${LSAN_OPTIONS:-}"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:${TSAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"
ctest --test-dir "$build_dir" --output-on-failure --timeout 300 --parallel "$(nproc)"
