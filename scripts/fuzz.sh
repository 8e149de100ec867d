#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) in build-fuzz/ and runs them.
#   scripts/fuzz.sh [seconds-per-target] [target...]
#       Each target for that many seconds (20 by default), starting from its committed inputs
#       in fuzz/corpus/; new inputs go to build-fuzz/fuzz-work/ only. What CI runs.
#   scripts/fuzz.sh --campaign SECONDS_TOTAL [target...]
#       A campaign: the total time split over the targets, most of it to those furthest from
#       10 million executed inputs (FUZZ_GOAL) by the tally in fuzz/campaign.tsv. After each
#       target the inputs that add coverage are merged into fuzz/corpus/<target>/, and a line
#       (date, commit, target, seconds, executed inputs, inputs merged, finding) is added to
#       fuzz/campaign.tsv, so the counts add up across runs. Ctrl-C (or SIGTERM) stops the
#       running target cleanly: its inputs are merged and counted, the rest are skipped.
# A crash, leak, timeout or failed check stops that target; the input that did it is kept as
# build-fuzz/fuzz-findings/<target>-crash-*. A plain run stops at the first; a campaign goes
# on with the other targets. Either way the script then fails.
set -euo pipefail
cd "$(dirname "$0")/.."

all_targets=(stream packet answer tarball image manifest config settings)
campaign=false
if [ "${1:-}" = "--campaign" ]; then
    campaign=true
    shift
    seconds=${1:-}
else
    seconds=${1:-20}
fi
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=("${all_targets[@]}")
fi
case "$seconds" in
    '' | *[!0-9]*) echo "seconds must be a whole number: '$seconds'" >&2; exit 2 ;;
esac
for t in "${targets[@]}"; do
    [[ " ${all_targets[*]} " == *" $t "* ]] || { echo "unknown target: $t" >&2; exit 2; }
done

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
fuzz_options=(-timeout=10 -rss_limit_mb=2048 -max_len=8192)

findings="$PWD/$build_dir/fuzz-findings"
mkdir -p "$findings"
tally=fuzz/campaign.tsv
goal=${FUZZ_GOAL:-10000000}

# Seconds for each target out of the total: every target gets at least a twentieth of an equal
# share, the rest goes by how long each still needs to the goal at its own rate in the tally (a
# target not yet in the tally counts as needing what the others need on average). Once all are
# past the goal, equal shares. A share runs in pieces of at most five minutes, each a fuzzer
# process of its own: memory piles up over a long run, among it the Qt leaks fuzz/lsan.supp
# lets pass (config reached 1 GB in a quarter of an hour), and a fuzzer stops at its limit;
# config's rate halves within a minute and a half of one process (8,200 to 3,400 a second).
shares() {
    local total=$1
    shift
    awk -F'\t' -v total="$total" -v goal="$goal" -v list="$*" '
        FNR > 1 { ran[$3] += $4; done_[$3] += $5 }
        END {
            n = split(list, names, " ")
            floor = total / n / 20
            for (i = 1; i <= n; ++i) {
                t = names[i]
                if (ran[t] > 0) {
                    left = goal - done_[t]
                    need[t] = left > 0 ? left / (done_[t] / ran[t]) : 0
                } else {
                    need[t] = -1
                }
                if (need[t] >= 0) { known += need[t]; ++counted }
            }
            for (i = 1; i <= n; ++i) {
                t = names[i]
                if (need[t] < 0) need[t] = known > 0 ? known / counted : 1
                sum += need[t]
            }
            for (i = 1; i <= n; ++i) {
                t = names[i]
                share = sum > 0 ? floor + (total - n * floor) * need[t] / sum : total / n
                share = share < 1 ? 1 : int(share)
                pieces = int((share + 299) / 300)
                for (p = 0; p < pieces; ++p)
                    printf "%s %d\n", t, int(share / pieces)
            }
        }' "$( [ -f "$tally" ] && echo "$tally" || echo /dev/null)"
}

commit=unknown
if command -v git >/dev/null && git rev-parse --git-dir >/dev/null 2>&1; then
    commit=$(git rev-parse --short HEAD)
    # Changes not yet committed ran too; the mark says the commit is not all of it.
    git diff --quiet HEAD -- . ':!fuzz/corpus' ':!fuzz/campaign.tsv' || commit="$commit+"
fi
if $campaign && [ ! -f "$tally" ]; then
    printf 'date\tcommit\ttarget\tseconds\texecuted\tmerged\tfinding\n' >"$tally"
fi

stopping=false
child=
trap 'stopping=true; [ -n "$child" ] && kill -INT "$child" 2>/dev/null' INT TERM

# Becomes the fuzzer of a target with the given arguments: call it as a job or in a subshell.
# As a job, $! is then the fuzzer's own process, which the trap can stop.
fuzzer() {
    local t=$1
    shift
    case "$t" in
        # Qt's JSON parser leaks on duplicate keys; see the file.
        manifest | config | settings)
            export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp:print_suppressions=0:${LSAN_OPTIONS:-}"
            ;;
    esac
    exec "$build_dir/fuzz/fuzz_$t" "$@"
}

# Runs one target; its exit status is the fuzzer's (72 when it was interrupted).
run_target() {
    local t=$1 time=$2 log=$3 work=$4
    local options=("${fuzz_options[@]}" -max_total_time="$time" -print_final_stats=1
        -artifact_prefix="$findings/$t-")
    # New inputs go to the working copy; the committed corpus changes only by a campaign's merge.
    fuzzer "$t" "${options[@]}" "$work" "fuzz/corpus/$t" >"$log" 2>&1 &
    child=$!
    local rc=0
    wait "$child" || rc=$?
    if $stopping; then
        # The trap cut the wait short; the fuzzer stops on its own signal and prints its stats.
        rc=0
        wait "$child" || rc=$?
    fi
    child=
    return "$rc"
}

executed_of() {
    local n
    n=$(sed -n 's/^stat::number_of_executed_units: *//p' "$1" | tail -n 1)
    # A crash report may come without the final stats: the last status line says how far it got.
    [ -n "$n" ] || n=$(grep -oE '^#[0-9]+' "$1" | tail -n 1 | tr -d '#')
    echo "${n:-0}"
}

# Merges the working inputs into fuzz/corpus/<target>/ and prints how many were added. Only
# inputs that add coverage to the committed ones come in, and none goes: choosing the whole set
# anew picks other inputs of equal coverage each time and rewrites hundreds of files in git. A
# merge that fails leaves the corpus as it was.
merge_into_corpus() {
    local t=$1 work=$2 f name added=0
    local corpus="fuzz/corpus/$t" fresh="$PWD/$build_dir/fuzz-merge/$t"
    rm -rf "$fresh"
    mkdir -p "$fresh"
    cp "$corpus"/* "$fresh/"
    if ! (fuzzer "$t" "${fuzz_options[@]}" -merge=1 "$fresh" "$work") \
        >"$build_dir/fuzz-$t-merge.log" 2>&1; then
        echo "merging the inputs of fuzz_$t failed; see $build_dir/fuzz-$t-merge.log" >&2
        echo 0
        return
    fi
    for f in "$fresh"/*; do
        name=$(basename "$f")
        [ -f "$corpus/$name" ] || { cp "$f" "$corpus/"; added=$((added + 1)); }
    done
    echo "$added"
}

failed=()
if $campaign; then
    mapfile -t plan < <(shares "$seconds" "${targets[@]}")
else
    plan=()
    for t in "${targets[@]}"; do
        plan+=("$t $seconds")
    done
fi
for entry in "${plan[@]}"; do
    $stopping && break
    t=${entry% *}
    time=${entry#* }
    work="$PWD/$build_dir/fuzz-work/$t"
    log="$build_dir/fuzz-$t.log"
    mkdir -p "$work"
    echo "== fuzz_$t for ${time}s"
    started=$(date +%s)
    rc=0
    run_target "$t" "$time" "$log" "$work" || rc=$?
    ran=$(($(date +%s) - started))
    finding=-
    if [ "$rc" -ne 0 ] && ! { $stopping && [ "$rc" -eq 72 ]; }; then
        tail -n 60 "$log" >&2
        finding=$(ls -t "$findings/$t-"* 2>/dev/null | head -n 1 || true)
        finding=${finding:-"exit $rc"}
        echo "fuzz_$t failed; see $log and $findings/" >&2
        failed+=("$t")
        $campaign || exit 1
    fi
    executed=$(executed_of "$log")
    echo "stat::number_of_executed_units: $executed"
    grep -E '^stat::peak_rss_mb' "$log" || true
    if $campaign; then
        merged=$(merge_into_corpus "$t" "$work")
        printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$(date -u +%Y-%m-%dT%H:%M:%SZ)" "$commit" "$t" \
            "$ran" "$executed" "$merged" "${finding#"$PWD/"}" >>"$tally"
        echo "fuzz/corpus/$t: $merged new inputs"
    fi
done

if $campaign; then
    echo "== executed inputs in all ($tally)"
    awk -F'\t' 'NR > 1 { n[$3] += $5; s[$3] += $4; if ($7 != "-") f[$3]++ }
        END { for (t in n) printf "%-9s %12d inputs in %7d s, %d finding(s)\n", t, n[t], s[t], f[t] }' \
        "$tally" | sort
fi
if [ ${#failed[@]} -gt 0 ]; then
    echo "findings in: ${failed[*]}" >&2
    exit 1
fi
$stopping && { echo "stopped" >&2; exit 130; }
echo "all fuzzers ran without a finding"
