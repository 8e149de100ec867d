#!/usr/bin/env bash
# Builds the benchmarks in Release (in build-bench/), runs them all and writes
# docs/performance.md. Slow (about ten minutes: the transfer at the line's rate alone takes
# about 25 s) and sensitive to other load on the machine, so CI does not run it; CI only
# builds the benchmark programs. BENCH_JOBS sets the build's parallel jobs.
#   scripts/bench.sh               every benchmark, then docs/performance.md
#   scripts/bench.sh --soak [MIN]  the soak alone (eight devices, MIN minutes, 60 by default),
#                                  its figures in build-bench/soak.csv
set -euo pipefail
cd "$(dirname "$0")/.."

soak=""
if [ "${1:-}" = "--soak" ]; then
    soak=${2:-60}
    case "$soak" in
        '' | *[!0-9]*) echo "minutes must be a whole number: $soak" >&2; exit 2 ;;
    esac
fi

scripts/setup.sh
build=build-bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DR58_BENCH=ON
if [ -n "$soak" ]; then
    # The soak alone: eight devices for the given minutes, a line per five-minute slice.
    cmake --build "$build" --parallel "${BENCH_JOBS:-$(nproc)}" --target r58_soak
    QT_QPA_PLATFORM=offscreen "$build/bench/r58_soak" "$soak" | tee "$build/soak.csv"
    exit "${PIPESTATUS[0]}"
fi
cmake --build "$build" --parallel "${BENCH_JOBS:-$(nproc)}" \
    --target bench_package bench_transfer bench_receive bench_startup bench_scale bench_plot bench_confirm

out="$build/bench-results"
rm -rf "$out"
mkdir -p "$out"
export QT_QPA_PLATFORM=offscreen

run() {
    local name=$1 file=$2
    shift 2
    echo "== $name $*" >&2
    "$build/bench/$name" --benchmark_out="$out/$file.json" --benchmark_out_format=json "$@" >&2
}

run bench_package package --data-dir "$out/data"
run bench_transfer transfer
run bench_receive receive
run bench_startup startup
run bench_plot plot
run bench_confirm confirm
# One process per device count, so that each resident size is that count's alone. Each tab
# shows the device screen on its data page, with the log enabled; 8 devices once more without,
# 8 devices side by side with every trend plot in view (drawing and paused in turn), and 1
# device with its log in view on the service page. The 8-device rows spread by a point or
# more between runs on a virtual machine, so each runs three times and the report takes the
# median.
for devices in 1 2 4; do
    run bench_scale "scale_$devices" --benchmark_filter="BM_Scale/$devices/1/"
done
run bench_scale scale_1_inview --benchmark_filter="BM_Scale/1/2/"
for round in 1 2 3; do
    run bench_scale "scale_8_r$round" --benchmark_filter="BM_Scale/8/1/"
    run bench_scale "scale_8_nolog_r$round" --benchmark_filter="BM_Scale/8/0/"
    run bench_scale "scale_8_plots_r$round" --benchmark_filter="BM_Scale/8/3/"
done

python3 scripts/bench_report.py "$out" "$build" > docs/performance.md
echo "Wrote docs/performance.md" >&2
