#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
#   scripts/test.sh             plain build in build/
#   scripts/test.sh --sanitize  AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
#   scripts/test.sh --tsan      ThreadSanitizer build in build-tsan/
# Test names after the options (e.g. `scripts/test.sh --tsan terminalservice simulator`)
# build and run only those tests.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=build
cmake_args=()
tests=()
for arg in "$@"; do
    case "$arg" in
        --sanitize) build_dir=build-asan; cmake_args+=(-DR58_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug) ;;
        --tsan) build_dir=build-tsan; cmake_args+=(-DR58_TSAN=ON -DCMAKE_BUILD_TYPE=Debug) ;;
        -*) echo "unknown option: $arg" >&2; exit 2 ;;
        *) tests+=("$arg") ;;
    esac
done
build_targets=()
ctest_args=()
if [ ${#tests[@]} -gt 0 ]; then
    for t in "${tests[@]}"; do
        build_targets+=("tst_$t")
    done
    ctest_args=(-R "^($(IFS='|'; echo "${tests[*]}"))\$")
fi
if [ "${CI:-}" = "true" ]; then
    cmake_args+=(-DR58_WERROR=ON)
fi

scripts/setup.sh
cmake -S . -B "$build_dir" -G Ninja "${cmake_args[@]}"
if [ ${#build_targets[@]} -gt 0 ]; then
    cmake --build "$build_dir" --parallel "$(nproc)" --target "${build_targets[@]}"
else
    cmake --build "$build_dir" --parallel "$(nproc)"
fi

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:${ASAN_OPTIONS:-}"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0:${LSAN_OPTIONS:-}"
# Debian's Qt is not built with ThreadSanitizer, and its QMutex works on futexes the
# sanitizer cannot see. Qt's own hand-offs guarded by it (posted events carrying
# queued signals, QThread::wait against the thread's end) therefore look like
# races on memory Qt itself touches: freeing an event's arguments, destroying
# the QThread's internal QWaitCondition. ignore_noninstrumented_modules drops the
# accesses that intercepted calls (free, memmove, pthread_cond_destroy, ...) make
# on behalf of uninstrumented libraries; every access of our own code is still
# checked, and the locks our code relies on are annotated (link/threadannotations.h).
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:ignore_noninstrumented_modules=1:${TSAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"
ctest --test-dir "$build_dir" --output-on-failure --timeout 300 --parallel "$(nproc)" \
    ${ctest_args[@]+"${ctest_args[@]}"}
