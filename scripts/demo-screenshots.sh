#!/usr/bin/env bash
# Takes pictures of the demonstration program's two windows at a break, under a virtual X
# server, for the README: docs/images/demo-main.png, demo-debugger.png and demo-screen.png.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/images}
mkdir -p "$out"
command -v xvfb-run >/dev/null || { echo "demo-screenshots: xvfb-run is missing (apt-get install xvfb)" >&2; exit 2; }
cmake --preset default >/dev/null
cmake --build --preset default --target demo_screenshots >/dev/null
xvfb-run -a -s "-screen 0 1100x800x24" build/default/bin/demo_screenshots "$out"
