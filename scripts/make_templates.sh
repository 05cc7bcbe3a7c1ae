#!/bin/bash
# Makes the shipped design templates (resources/Templates), two wizard
# backgrounds (resources/Background) and the sample design
# (resources/Samples/Birthday.dcard) with the program's own design writer
# and render path. Usage: scripts/make_templates.sh [build folder]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$here/build/test}"
cmake --build "$build" --target make_templates -j 4
"$build/tests/make_templates" "$here/resources"
