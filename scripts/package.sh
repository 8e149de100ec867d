#!/usr/bin/env bash
# Builds the Debian package and prints its path.
#   scripts/package.sh              release build in build-package/
#   scripts/package.sh <build dir>  package an existing build as it is (CI packages build/)
# The package lands in <build dir>/package/.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${1:-build-package}
cmake_args=()
if [ ! -f "$build_dir/CMakeCache.txt" ]; then
    cmake_args+=(-DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF)
fi
if [ "${CI:-}" = "true" ]; then
    cmake_args+=(-DR58_WERROR=ON)
fi

scripts/setup.sh >&2
cmake -S . -B "$build_dir" -G Ninja "${cmake_args[@]}" >/dev/null
cmake --build "$build_dir" --parallel "$(nproc)" >&2
rm -rf "$build_dir/package"
cpack --config "$build_dir/CPackConfig.cmake" -G DEB -B "$build_dir/package" >&2
ls "$build_dir"/package/*.deb
