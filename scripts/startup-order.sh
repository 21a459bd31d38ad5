#!/usr/bin/env bash
# Writes tools/velmora/startup-order.txt, the linker's ordering of the runner's code: every
# function the runner executes while it starts on an empty script of either dialect, in the
# order callgrind first meets them. Placed together, that code is a few dozen pages instead of
# one page in each of a hundred places over the whole program text; every page the start
# touches costs a page fault. Regenerate after large changes to what runs at start-up (names
# that no longer exist are ignored by the linker, new ones are only placed elsewhere).
# Profile-optimised and plain builds inline differently, so the file is the union of what each
# given runner executes.
# Usage: bash scripts/startup-order.sh [path/to/velmora ...]   (needs valgrind; default: the
#        release and profile-optimised runners that exist)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
runners=("$@")
if [[ ${#runners[@]} -eq 0 ]]; then
    for candidate in "$root/build/release/bin/velmora" "$root/build/release-pgo/bin/velmora"; do
        [[ -x "$candidate" ]] && runners+=("$candidate")
    done
fi
[[ ${#runners[@]} -gt 0 ]] || { echo "startup-order: no velmora runner built" >&2; exit 1; }
out="$root/tools/velmora/startup-order.txt"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

k=0
for velmora in "${runners[@]}"; do
    for dialect in pas vbs; do
        : > "$work/empty.$dialect"
        k=$((k + 1))
        valgrind --tool=callgrind --demangle=no --callgrind-out-file="$work/$k.out" \
                 "$velmora" "$work/empty.$dialect" >/dev/null 2>&1
    done
done
# A complete-object constructor or destructor (C1, D1) is usually an alias of the base-object
# one (C2, D2), whose section is the one the object file has; a class with virtual bases has
# both, so both names are listed. A profile-optimised build files a function under .text.hot,
# .text.unlikely or .text.startup by how often the training ran it.
for ((i = 1; i <= k; ++i)); do cat "$work/$i.out"; done |
    sed -nE 's/^c?fn=\([0-9]+\) (.+)$/\1/p' | grep -v '^0x' |
    sed -E 'p; s/(C|D)1(E|I)/\12\2/' | awk '!seen[$0]++ { for (i = 1; i <= 4; ++i) print prefix[i] $0 }
                        BEGIN { split(".text. .text.startup. .text.hot. .text.unlikely.", prefix, " ") }' > "$out"
echo "startup-order: $(($(wc -l < "$out") / 4)) functions in ${out#"$root"/}"
