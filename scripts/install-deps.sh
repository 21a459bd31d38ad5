#!/usr/bin/env bash
# Installs every Debian package the build and the tests need. Idempotent and quiet when all
# packages are present. `--bench` adds the interpreters the comparison benchmarks run against.
set -euo pipefail

packages=(build-essential cmake ninja-build pkg-config clang
          libgtest-dev libgmock-dev libbenchmark-dev libicu-dev
          libxml2-dev zlib1g-dev liblzma-dev qt6-base-dev libqscintilla2-qt6-dev xvfb nlohmann-json3-dev
          liblua5.4-dev libpython3-dev tcl8.6-dev libperl-dev libmozjs-102-dev libregina3-dev)
if [[ "${1:-}" == "--bench" ]]; then
    packages+=(lua5.4 python3 perl tcl8.6)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
