#!/usr/bin/env bash
# A Release build optimised with a profile of the training workload in bench/train: builds the
# runner with counters, runs every training script with it, then rebuilds everything from
# the counts in the same folder (the counts are keyed by the objects' paths). Only the runner
# (bin/velmora) and the libraries it links are built; pass --all to build every target.
# Usage: bash scripts/build-pgo.sh [--all] [build-folder]   (default build/release-pgo)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
targets=(--target velmora)
if [[ "${1:-}" == "--all" ]]; then
    targets=()
    shift
fi
build="${1:-$root/build/release-pgo}"
jobs="${JOBS:-$(nproc)}"
profile="$build/pgo-data"

configure() {
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
          -DVELMORA_PGO="$1" -DVELMORA_PGO_DIR="$profile" >/dev/null
}

configure generate
cmake --build "$build" -j "$jobs" --target velmora
rm -rf "$profile"
shopt -s nullglob
scripts=("$root"/bench/train/*.pas "$root"/bench/train/*.vbs)
[[ ${#scripts[@]} -gt 0 ]] || { echo "build-pgo: no training scripts in bench/train" >&2; exit 1; }
for script in "${scripts[@]}"; do
    echo "training: ${script#"$root"/}"
    "$build/bin/velmora" "$script" >/dev/null
done
configure use
cmake --build "$build" -j "$jobs" "${targets[@]}"
echo "build-pgo: optimised build in $build"
