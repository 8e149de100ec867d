#!/usr/bin/env bash
# Installs what building, running and testing the tool needs on Debian 12.
# Safe to run again: it only installs packages that are missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qtbase5-dev libqt5serialport5-dev libqt5svg5-dev qttools5-dev qttools5-dev-tools
    libqwt-qt5-dev # the data page's trend plot
    qttranslations5-l10n
    zlib1g-dev tar openssl
    libbenchmark-dev libssl-dev python3
    desktop-file-utils appstream dpkg-dev file
    clang-14 libclang-rt-14-dev # the fuzzers (scripts/fuzz.sh)
    llvm-14 # llvm-profdata and llvm-cov for scripts/coverage.sh
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    # A fresh Debian installed without a root password has sudo; one with a root password has
    # not, and then only root can install.
    if ! command -v sudo >/dev/null; then
        echo "Missing: ${missing[*]}" >&2
        echo "Run scripts/setup.sh once as root (sudo is not installed) to install them." >&2
        exit 1
    fi
    sudo_cmd=(sudo)
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update
"${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
