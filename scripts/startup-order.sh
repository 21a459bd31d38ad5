#!/usr/bin/env bash
# Writes tools/velmora/startup-order.txt, the linker's ordering of the runner's code: every
# function the runner executes while it starts on an empty script of either dialect, in the
# order callgrind first meets them. Placed together, that code is a few dozen pages instead of
# one page in each of a hundred places over the whole program text; every page the start
# touches costs a page fault. Regenerate after large changes to what runs at start-up (names
# that no longer exist are ignored by the linker, new ones are only placed elsewhere).
# Usage: bash scripts/startup-order.sh [path/to/velmora]   (needs valgrind)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
velmora="${1:-$root/build/release/bin/velmora}"
out="$root/tools/velmora/startup-order.txt"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

for dialect in pas vbs; do
    : > "$work/empty.$dialect"
    valgrind --tool=callgrind --demangle=no --callgrind-out-file="$work/$dialect.out" \
             "$velmora" "$work/empty.$dialect" >/dev/null 2>&1
done
# A complete-object constructor or destructor (C1, D1) is an alias of the base-object one (C2,
# D2), whose section is the one the object file has.
cat "$work/pas.out" "$work/vbs.out" |
    sed -nE 's/^c?fn=\([0-9]+\) (.+)$/\1/p' | grep -v '^0x' |
    sed -E 's/(C|D)1(E|I)/\12\2/' | awk '!seen[$0]++ { print ".text." $0; print ".text.startup." $0 }' > "$out"
echo "startup-order: $(($(wc -l < "$out") / 2)) functions in ${out#"$root"/}"
