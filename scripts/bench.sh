#!/usr/bin/env bash
# Builds the benchmarks in Release (in build-bench/), runs them all and writes
# docs/performance.md. Slow (about ten minutes: the transfer at the line's rate alone takes
# about 25 s) and sensitive to other load on the machine, so CI does not run it; CI only
# builds the benchmark programs. BENCH_JOBS sets the build's parallel jobs.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
build=build-bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DR58_BENCH=ON
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
