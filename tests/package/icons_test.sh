#!/bin/sh
# The committed icons are what the picture tool draws today.
# Usage: icons_test.sh SOURCE_DIR
set -eu
src=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
python3 -B "$src/tools/timetable_gen/make_icons.py" --out "$out"
diff -r "$src/resources/icons/hicolor" "$out"
