#!/usr/bin/env bash
# Hostile documents and shared folders, through the real program: every crafted input below is
# refused or handled within its time and memory bound, without a signal, with a Russian message,
# without writing outside its folder and without reading from /dev/zero.
# Usage: check_hostile.sh VELMAR MAKE_HOSTILE_INPUT MAKE_OUTLINE SANITIZED(ON|OFF)
set -uo pipefail
VELMAR=$1 MAKE_INPUT=$2 MAKE_OUTLINE=$3 SANITIZED=${4:-OFF}
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
WORK=$(mktemp -d /tmp/velmar-hostile.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK" || exit 1
# The window registers its file types and keeps thumbnails per user: not in the real home.
export XDG_DATA_HOME=$WORK/xdg-data XDG_CACHE_HOME=$WORK/xdg-cache XDG_CONFIG_HOME=$WORK/xdg-config
failures=0
# The leak checker stops at once under a tracer (it needs ptrace itself): the commands here run
# under strace, so leaks are left to the rest of the sanitizer suite.
[ "$SANITIZED" = ON ] && export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

fail() { echo "FAIL [$CASE]: $*"; failures=$((failures + 1)); }

# run SECONDS_ALLOWED MEMORY_CAP_MB COMMAND... : runs the command traced (openat/read, with the
# files behind descriptors) under an address-space cap (not with sanitizers, which reserve
# terabytes), killed at three times its allowance; sets STATUS and ELAPSED (seconds, decimal).
run() {
  local allowed=$1 cap=$2; shift 2
  local limit=()
  [ "$SANITIZED" = ON ] || limit=(prlimit --as=$((cap * 1024 * 1024)) --)
  local start end
  start=$(date +%s%N)
  timeout -s KILL $((allowed * 3 + 5)) "${limit[@]}" \
    strace -f -y -qq -e trace=openat,read -o "$WORK/$CASE.trace" "$@" >"$WORK/$CASE.out" 2>"$WORK/$CASE.err"
  STATUS=$?
  end=$(date +%s%N)
  ELAPSED=$(awk -v ns=$((end - start)) 'BEGIN { printf "%.2f", ns / 1e9 }')
  local slack=1
  [ "$SANITIZED" = ON ] && slack=4  # sanitized builds and the tracer run several times slower
  if [ "$STATUS" -ge 128 ]; then fail "ended by signal $((STATUS - 128)) after ${ELAPSED}s: $(head -c 300 "$WORK/$CASE.err")"; fi
  if awk -v e="$ELAPSED" -v a="$allowed" -v s="$slack" 'BEGIN { exit !(e > a * s) }'; then
    fail "took ${ELAPSED}s, allowed ${allowed}s"
  fi
  if grep -qE '^[0-9]+ +read\([0-9]+</dev/zero>' "$WORK/$CASE.trace"; then fail "read from /dev/zero"; fi
  echo "ok? [$CASE] status $STATUS in ${ELAPSED}s"
}

expect_status() { [ "$STATUS" = "$1" ] || fail "status $STATUS, expected $1: $(head -c 300 "$WORK/$CASE.err")"; }
expect_message() { grep -q -- "$1" "$WORK/$CASE.err" || fail "no message «$1» in: $(head -c 400 "$WORK/$CASE.err")"; }

# --- Side files and outlines that are no files: /dev/zero, FIFOs --------------------------------
"$MAKE_INPUT" old zero.vmc && ln -s /dev/zero zero.blc
"$MAKE_INPUT" old fifo.vmc && mkfifo fifo.blc
for name in zero fifo; do
  CASE="$name side file, --thumbnail"; run 5 1500 "$VELMAR" --thumbnail 256 "$name.vmc" "$name.png"
  expect_status 1; expect_message "не обычный файл"
  [ ! -e "$name.png" ] || fail "a thumbnail was written"
  CASE="$name side file, --info"; run 5 1500 "$VELMAR" --info "$name.vmc"
  expect_message "не обычный файл"
done
ln -s /dev/zero zero.vmd && mkfifo fifo.vmd
for name in zero fifo; do
  CASE="$name outline, --info"; run 5 1500 "$VELMAR" --info "$name.vmd"
  expect_status 1; expect_message "не обычный файл"
done

# --- A picture whose stored length claims 1.5 GB (a sparse file) --------------------------------
python3 -c 'import sys; sys.stdout.buffer.write(b"P6\n64 48\n255\n" + bytes(range(256)) * 36)' > small.ppm
cjpeg -quality 90 small.ppm > small.jpg
"$MAKE_INPUT" picture claim.vmd small.jpg 1500000000 || fail "claim.vmd not built"
for command in --info --thumbnail; do
  CASE="long-claimed stream, $command"
  if [ "$command" = --info ]; then run 5 2048 "$VELMAR" --info claim.vmd
  else run 5 2048 "$VELMAR" --thumbnail 256 claim.vmd claim.png; expect_status 1; fi
  expect_message "не соответствует размеру рисунка"
done

# --- Progressive JPEG bombs ---------------------------------------------------------------------
# A plain grey 6000 × 6000 picture costs almost nothing to store (a patch of noise gives it the
# bytes the per-stream limits ask for); every scan of it walks all its 562,500 blocks. Three ways
# to make a decoder walk them a hundred times: the last refinement scan replayed (arithmetic and
# Huffman coding), and a hundred distinct one-coefficient scans.
python3 - <<'PY'
import random
random.seed(7)
side = 6000
grey = bytearray(b"\x80" * (side * side))
for y in range(200):
    grey[y * side:y * side + 200] = bytes(random.getrandbits(8) for _ in range(200))
open("plain.pgm", "wb").write(b"P5\n%d %d\n255\n" % (side, side) + grey)
PY
printf '0: 0 0 0 1;\n0: 1 63 0 1;\n0: 0 0 1 0;\n0: 1 63 1 0;\n' > refine.scans
{ echo '0: 0 0 0 1;'; for k in $(seq 1 63); do echo "0: $k $k 0 1;"; done; echo '0: 0 0 1 0;'
  for k in $(seq 1 34); do echo "0: $k $k 1 0;"; done; } > spectral.scans
cjpeg -arithmetic -scans refine.scans plain.pgm > arith.jpg
cjpeg -scans refine.scans plain.pgm > huffman.jpg
cjpeg -arithmetic -scans spectral.scans plain.pgm > spectral.jpg
rm -f plain.pgm
"$MAKE_INPUT" repeat-scan arith.jpg arith100.jpg 100 && "$MAKE_INPUT" repeat-scan huffman.jpg huffman100.jpg 100 \
  || fail "scans not repeated"
for bomb in arith100 huffman100 spectral; do
  "$MAKE_INPUT" picture "$bomb.vmd" "$bomb.jpg" || fail "$bomb.vmd not built"
  size=$(stat -c %s "$bomb.vmd")
  allowed=5; [ "$size" -le $((2 * 1024 * 1024)) ] || allowed=15
  CASE="progressive bomb $bomb ($size bytes), --thumbnail"; run "$allowed" 2048 "$VELMAR" --thumbnail 256 "$bomb.vmd" "$bomb.png"
  expect_status 1; expect_message "рисунок 1 ("
  [ ! -e "$bomb.png" ] || fail "a thumbnail of a damaged picture was written"
done

# --- Films of strangers -------------------------------------------------------------------------
# A bitmap header of 0x80000000 bytes, an 8-bit film whose header says -4096 bytes (its palette
# would be read from before the format data), a 4 GiB sparse AVI of 12 header bytes, and twenty
# links to a 4 KB Motion JPEG film whose frame is 5000 × 5000. Each outline goes through --export
# (twice, byte-identical), the web page, --thumbnail, --info and the window: within 5 s, without
# a signal, under 600 MB, and every film that is not drawn is named once.
# run_film SECONDS COMMAND...: sets STATUS, ELAPSED and PEAK_MB (the largest resident set).
run_film() {
  local allowed=$1; shift
  local start end
  start=$(date +%s%N)
  timeout -s KILL $((allowed * 3 + 5)) /usr/bin/time -f '%M' -o "$WORK/$CASE.rss" "$@" >"$WORK/$CASE.out" 2>"$WORK/$CASE.err"
  STATUS=$?
  end=$(date +%s%N)
  ELAPSED=$(awk -v ns=$((end - start)) 'BEGIN { printf "%.2f", ns / 1e9 }')
  PEAK_MB=$(( $(tail -n 1 "$WORK/$CASE.rss" | tr -dc 0-9) / 1024 ))
  local slack=1 cap=600
  [ "$SANITIZED" = ON ] && slack=4 cap=2400  # sanitized builds are slower and keep freed memory
  if [ "$STATUS" -ge 128 ]; then fail "ended by signal $((STATUS - 128)) after ${ELAPSED}s: $(head -c 300 "$WORK/$CASE.err")"; fi
  if awk -v e="$ELAPSED" -v a="$allowed" -v s="$slack" 'BEGIN { exit !(e > a * s) }'; then fail "took ${ELAPSED}s, allowed ${allowed}s"; fi
  [ "$PEAK_MB" -le "$cap" ] || fail "${PEAK_MB} MB resident, allowed ${cap} MB"
  echo "ok? [$CASE] status $STATUS in ${ELAPSED}s, ${PEAK_MB} MB"
}
for kind in plain header-size negative-header huge-mjpeg; do
  "$MAKE_INPUT" film "$kind" "film-$kind.avi" || fail "film-$kind.avi not built"
done
printf 'RIFF\xf4\xff\xff\xffAVI ' > film-sparse.avi && truncate -s 4G film-sparse.avi
mkdir -p links && for k in $(seq 1 20); do ln -sf "$WORK/film-huge-mjpeg.avi" "links/film$k.avi"; done
film_outline() {  # film_outline OUT.vmd FILM...: one fragment per film, in rows of five
  local out=$1; shift
  { echo '{"name": "Фильмы", "windowSize": [800, 600], "videos": ['
    local k=0 sep=''
    for f in "$@"; do
      printf '%s{"bounds": [%d, %d, 140, 100], "file": "%s"}' "$sep" $((10 + (k % 5) * 150)) $((40 + (k / 5) * 110)) "$f"
      sep=','; k=$((k + 1))
    done
    echo ']}'; } > "$out.json"
  "$MAKE_OUTLINE" "$out" < "$out.json" || fail "$out not built"
}
for kind in plain header-size negative-header huge-mjpeg sparse; do film_outline "film-$kind.vmd" "$WORK/film-$kind.avi"; done
film_outline film-links.vmd "$WORK"/links/film{1..20}.avi
for outline in plain header-size negative-header sparse huge-mjpeg links; do
  vmd=film-$outline.vmd
  for n in 1 2; do
    CASE="film $outline, --export png ($n)"; run_film 5 "$VELMAR" --export "film-$outline-$n.png" "$vmd"
    expect_status 0
  done
  cmp -s "film-$outline-1.png" "film-$outline-2.png" || fail "two exports of $vmd differ"
  case $outline in
    plain) [ ! -s "$WORK/$CASE.err" ] || fail "a note for a good film: $(head -c 300 "$WORK/$CASE.err")" ;;
    # The bitmap header's size field is not needed to read the frame: drawn or named, never both.
    header-size|negative-header) ;;
    # One note for each film drawn empty, never two.
    sparse) [ "$(grep -c '^Фильм «film-sparse.avi»' "$WORK/$CASE.err")" = 1 ] || fail "no one note: $(head -c 300 "$WORK/$CASE.err")" ;;
    links) [ "$(grep '^Фильм «' "$WORK/$CASE.err" | sort -u | wc -l)" = 20 ] || fail "not one note per link: $(head -c 300 "$WORK/$CASE.err")" ;;
  esac
  [ "$(grep '^Фильм «' "$WORK/$CASE.err" | sort | uniq -d | wc -l)" = 0 ] || fail "a film named twice"
  CASE="film $outline, web page"; run_film 5 "$VELMAR" --export "film-$outline.html" "$vmd"
  expect_status 0
  CASE="film $outline, --thumbnail"; run_film 5 "$VELMAR" --thumbnail 256 "$vmd" "film-$outline-thumb.png"
  expect_status 0; [ -s "film-$outline-thumb.png" ] || fail "no thumbnail"
  CASE="film $outline, --info"; run_film 5 "$VELMAR" --info "$vmd"
  expect_status 0
  CASE="film $outline, window"
  VELMAR_HOME=$WORK/film-home-$outline VELMAR_QUIT_WHEN_SHOWN=films run_film 5 "$VELMAR" "$vmd"
  expect_status 0
done
# The good film is drawn: red over blue in its panel, not the empty panel.
python3 - "$WORK/film-plain-1.png" <<'PY' || fail "the good film's picture is not in the export"
import re, subprocess, sys
# The panel lies at (10, 40) on the canvas, 9 px below the top of the export (the tool bar's band
# is not drawn): a point in its top half and one in its bottom half.
def rgb(x, y):
    out = subprocess.run(["convert", sys.argv[1], "-crop", "1x1+%d+%d" % (x, y), "-depth", "8", "txt:-"],
                         capture_output=True, text=True).stdout
    h = re.search(r"#([0-9A-Fa-f]{6})", out).group(1)
    return [int(h[i:i + 2], 16) for i in (0, 2, 4)]
near = lambda a, b: all(abs(p - q) <= 24 for p, q in zip(a, b))
top, bottom = rgb(80, 35), rgb(80, 90)
sys.exit(0 if near(top, (255, 0, 0)) and near(bottom, (0, 0, 255)) else print(top, bottom) or 1)
PY
# --- Document text: HTML and control characters ------------------------------------------------
esc=$(printf '\033') bel=$(printf '\007')
cat > html.json <<JSON
{"name": "<img src=\"/dev/zero\">Урок${esc}[2J${bel}",
 "frames": [{"bounds": [10, 10, 300, 200], "title": "<b style=\"font-size:40pt\">Лицензия</b>",
             "minimal": "<a href=\"file:///etc/passwd\">ссылка</a>${esc}]0;title${bel}\tтаб"}],
 "textFields": [{"bounds": [10, 30, 200, 60], "parent": 1, "text": "строка 1\r\nстрока 2${esc}[31m",
                 "minimal": "<img src=\"/dev/zero\">"}],
 "videos": [{"bounds": [10, 100, 120, 80], "parent": 1, "file": "<img src=\"/dev/zero\">.avi",
             "minimal": "видео${esc}c"}]}
JSON
"$MAKE_OUTLINE" html.vmd < html.json || fail "html.vmd not built"
CASE="control characters, --summary"; run 5 1500 "$VELMAR" --summary html.vmd
expect_status 0
if LC_ALL=C grep -q $'[\x01-\x08\x0b\x0c\x0e-\x1f\x7f]' "$WORK/$CASE.out"; then fail "control characters reach the terminal"; fi
grep -q $'таб' "$WORK/$CASE.out" || fail "the texts are missing"
grep -q $'\t' "$WORK/$CASE.out" || fail "a tab was dropped"
CASE="markup, --summary-format html"; run 5 1500 "$VELMAR" --summary html.vmd --summary-format html
expect_status 0
if grep -qiE '<(img|a|b)[ >]' "$WORK/$CASE.out"; then fail "document text became markup: $(grep -oiE '<(img|a|b)[ >][^>]*>' "$WORK/$CASE.out" | head -3)"; fi
grep -q '&lt;img src=' "$WORK/$CASE.out" || fail "the text is not shown as written"
if LC_ALL=C grep -q $'[\x01-\x08\x0b\x0c\x0e-\x1f\x7f]' "$WORK/$CASE.out"; then fail "control characters in the HTML"; fi
CASE="markup, --summary-format markdown"; run 5 1500 "$VELMAR" --summary html.vmd --summary-format markdown
if LC_ALL=C grep -q $'[\x01-\x08\x0b\x0c\x0e-\x1f\x7f]' "$WORK/$CASE.out"; then fail "control characters reach the terminal"; fi
CASE="markup, --info"; run 5 1500 "$VELMAR" --info html.vmd
python3 -c 'import json, sys; json.load(open(sys.argv[1]))' "$WORK/$CASE.out" || fail "--info is not JSON"

# --- Links planted in the working folder ----------------------------------------------------------
home=$WORK/home
mkdir -p "$home/temp" outside && chmod 700 "$home"
for victim in lock tm1 tm2; do echo "victim $victim" > "outside/$victim"; done
touch -d '2001-01-01' outside/*
ln -s "$WORK/outside/lock" "$home/temp/velmar.lock"
ln -s "$WORK/outside/tm1" "$home/temp/temp0.tm1"
ln -s "$WORK/outside/tm2" "$home/temp/temp0.tm2"
before=$(stat -c '%n %s %Y' outside/*)
CASE="planted links, window start"
VELMAR_HOME=$home VELMAR_QUIT_WHEN_SHOWN=1 run 15 4096 "$VELMAR"
expect_status 0
[ "$(stat -c '%n %s %Y' outside/*)" = "$before" ] || fail "a file outside was written through a link: $(head outside/*)"

# A working folder that others may write into, or that another user owns, is refused before
# anything is written in it; the window waits with the message until it is closed.
for kind in open foreign; do
  CASE="$kind working folder"
  shared=$WORK/shared-$kind
  mkdir -p "$shared/temp"
  if [ $kind = open ]; then chmod 777 "$shared"; else chown nobody "$shared"; fi
  VELMAR_HOME=$shared "$VELMAR" >"$WORK/$CASE.out" 2>"$WORK/$CASE.err" &
  pid=$!
  for _ in $(seq 150); do grep -q VELMAR_HOME "$WORK/$CASE.err" && break; kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  grep -q "Рабочая папка.*VELMAR_HOME" "$WORK/$CASE.err" || fail "no refusal: $(head -c 300 "$WORK/$CASE.err")"
  [ -z "$(ls -A "$shared/temp")" ] || fail "written into the refused folder: $(ls -A "$shared/temp")"
  kill $pid 2>/dev/null; wait $pid 2>/dev/null
done

if [ $failures -gt 0 ]; then echo "$failures check(s) failed"; exit 1; fi
echo "all hostile-document checks passed"
