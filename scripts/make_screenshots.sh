#!/usr/bin/env bash
# Makes the screenshot the AppStream description shows (packaging/screenshots/outline.png) from
# the sample outline packaging/sample/lesson.json: its pictures are drawn by ImageMagick, the
# outline written by e2e_make_outline and drawn by `velmar --export`, so the screenshot always
# shows the program's own rendering. Usage: scripts/make_screenshots.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

convert -size 600x400 gradient:'#fff3b0'-'#1f6fb2' -swirl 40 "$work/sea.jpg"
convert -size 600x400 plasma:'#e8f0ff'-'#8aa4c8' -blur 0x6 "$work/clouds.jpg"
convert -size 600x400 gradient:'#50607a'-'#a9b8cc' \( -size 600x400 xc: +noise Random -channel G \
  -threshold 97% -motion-blur 0x12+70 \) -compose screen -composite "$work/rain.jpg"
convert -size 600x580 gradient:'#9cd67a'-'#2f7fbf' "$work/river.jpg"

sed "s#@DIR@#$work#g" packaging/sample/lesson.json > "$work/lesson.json"
"$build/tests/e2e_make_outline" "$work/lesson.vmd" < "$work/lesson.json"
mkdir -p packaging/screenshots
"$build/src/velmar" --export packaging/screenshots/outline.png "$work/lesson.vmd"
identify -format 'packaging/screenshots/outline.png: %w x %h\n' packaging/screenshots/outline.png
