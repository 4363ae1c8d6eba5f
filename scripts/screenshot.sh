#!/usr/bin/env bash
# Saves a PNG of the whole screen of $DISPLAY (an Xvfb screen in the tests) and prints its
# path. Usage: scripts/screenshot.sh [FILE.png]
set -euo pipefail
file=${1:-$(mktemp "${TMPDIR:-/tmp}/tarnwick-screen.XXXXXX").png}
import -display "${DISPLAY:?no display}" -window root "$file"
echo "$file"
