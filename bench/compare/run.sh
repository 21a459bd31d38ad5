#!/usr/bin/env bash
# Compares Velmora with the interpreters an application would otherwise embed (Lua, CPython,
# Perl, Tcl): checks that every implementation prints the same checksum, then times them.
# Usage: bash bench/compare/run.sh [options] [path/to/velmora]   (--help lists the options)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
if ! command -v python3 >/dev/null 2>&1; then
    echo "run.sh: python3 is needed to drive the comparison;" \
         "install it with: bash scripts/install-deps.sh --bench" >&2
    exit 2
fi
exec python3 "$here/run.py" "$@"
