#!/usr/bin/env bash
# Counts non-blank lines of .cpp and .h files: the tests (tests/ and fuzz/) against the
# rest of the code, and prints both and the tests' share of the rest.
# "The rest" is the program and its helpers: app framework link model update config records
# ui sim tools. The benchmarks (bench/) count on neither side.
#   scripts/test_share.sh
set -euo pipefail
cd "$(dirname "$0")/.."

code_dirs=(app cli framework link model update config records ui sim tools)
test_dirs=(tests fuzz)

count() {
    find "$@" -type f \( -name '*.cpp' -o -name '*.h' \) -print0 \
        | xargs -0 cat | grep -cv '^[[:space:]]*$'
}

tests=$(count "${test_dirs[@]}")
code=$(count "${code_dirs[@]}")
echo "tests (${test_dirs[*]}): $tests lines"
echo "code (${code_dirs[*]}): $code lines"
awk -v t="$tests" -v c="$code" 'BEGIN { printf "ratio: %.1f %%\n", 100 * t / c }'
