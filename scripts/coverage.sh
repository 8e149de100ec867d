#!/usr/bin/env bash
# Measures the test suite's line coverage with clang's source-based coverage: builds an
# instrumented tree in build-cov/ (clang-14, no benchmarks), runs every test and prints
# the line coverage of the core library (framework link model update config) and of the
# screens (ui).
#   scripts/coverage.sh          build, run the suite, print the summary
#   scripts/coverage.sh --html   also write a browsable report to build-cov/html/
# A failing test still counts its coverage, but the script then exits non-zero.
set -euo pipefail
cd "$(dirname "$0")/.."

html=false
for arg in "$@"; do
    case "$arg" in
        --html) html=true ;;
        *) echo "unknown option: $arg" >&2; exit 2 ;;
    esac
done

scripts/setup.sh
build_dir=build-cov
flags="-fprofile-instr-generate -fcoverage-mapping"
# ccache only speeds up rebuilds, and the setup does not install it; an empty launcher also
# clears one an earlier run left in the cache.
launcher=$(command -v ccache || true)
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DR58_BENCH=OFF \
    -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_CXX_COMPILER_LAUNCHER="$launcher" \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" -DCMAKE_SHARED_LINKER_FLAGS="$flags"
cmake --build "$build_dir" --parallel "$(nproc)"

profiles="$PWD/$build_dir/profiles"
rm -rf "$profiles"
mkdir -p "$profiles"
export QT_QPA_PLATFORM=offscreen
# %p: one file per process, so tests running side by side and the helper tools they
# start never write into the same file.
export LLVM_PROFILE_FILE="$profiles/%p.profraw"
status=0
ctest --test-dir "$build_dir" --output-on-failure --timeout 300 --parallel "$(nproc)" || status=$?

llvm-profdata-14 merge -sparse "$profiles"/*.profraw -o "$build_dir/coverage.profdata"
objects=()
for exe in "$build_dir"/tests/tst_* "$build_dir"/tools/*/r58_* "$build_dir"/tools/r58_*; do
    [ -f "$exe" ] && [ -x "$exe" ] || continue
    if [ ${#objects[@]} -eq 0 ]; then
        objects+=("$exe")
    else
        objects+=(-object "$exe")
    fi
done

# Only our own sources of one part: not Qt's headers, not the generated moc, uic and rcc files
# in the build tree. ccache, where it is used, may leave the names relative to the build tree
# ("build-cov/../ui/"), so generated files are those right inside it, and the parts are told
# apart by folder name.
others_than() {
    local keep=" $* " dirs=() d
    for d in app framework link model update config ui sim tools tests fuzz bench; do
        [[ "$keep" == *" $d "* ]] || dirs+=("$d")
    done
    echo "^/usr/|$build_dir/[^.]|_autogen/|(^|/)($(IFS='|'; echo "${dirs[*]}"))/"
}
line_coverage() {
    # TOTAL row: regions, missed, cover, functions, missed, executed, lines, missed, cover, ...
    llvm-cov-14 report "${objects[@]}" -instr-profile "$build_dir/coverage.profdata" \
        -ignore-filename-regex="$(others_than "$@")" \
        | awk '$1 == "TOTAL" { print $10 " of " $8 " lines" }'
}
echo "core library (framework link model update config): $(line_coverage framework link model update config)"
echo "screens (ui): $(line_coverage ui)"
if $html; then
    llvm-cov-14 show "${objects[@]}" -instr-profile "$build_dir/coverage.profdata" \
        -ignore-filename-regex="$(others_than framework link model update config ui)" \
        -format=html -output-dir="$build_dir/html"
    echo "report: $build_dir/html/index.html"
fi
exit "$status"
