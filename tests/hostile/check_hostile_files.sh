#!/usr/bin/env bash
# Files around an outline that a stranger may have made, through the real program: a side file of
# pictures far larger than its damaged first bytes need, a working folder the program may not
# write into, the thumbnailer's memory, texts that would reorder a terminal's lines. Each ends
# within its time, reads no more than it needs, and says what is wrong.
# Usage: check_hostile_files.sh VELMAR MAKE_HOSTILE_INPUT MAKE_OUTLINE SANITIZED(ON|OFF)
set -uo pipefail
VELMAR=$1 MAKE_INPUT=$2 MAKE_OUTLINE=$3 SANITIZED=${4:-OFF}
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
WORK=$(mktemp -d /tmp/velmar-hostile-files.XXXXXX)
trap 'chmod -R u+rwx "$WORK"; rm -rf "$WORK"' EXIT
cd "$WORK" || exit 1
export XDG_DATA_HOME=$WORK/xdg-data XDG_CACHE_HOME=$WORK/xdg-cache XDG_CONFIG_HOME=$WORK/xdg-config
[ "$SANITIZED" = ON ] && export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
failures=0
fail() { echo "FAIL [$CASE]: $*"; failures=$((failures + 1)); }

# run SECONDS COMMAND...: runs the command traced (files opened and read, folders made), killed
# at three times its allowance; sets STATUS and ELAPSED.
run() {
  local allowed=$1; shift
  local start end
  start=$(date +%s%N)
  timeout -s KILL $((allowed * 3 + 5)) strace -f -y -qq -e trace=openat,read,mkdir,prlimit64,setrlimit \
    -o "$WORK/$CASE.trace" "$@" \
    >"$WORK/$CASE.out" 2>"$WORK/$CASE.err"
  STATUS=$?
  end=$(date +%s%N)
  ELAPSED=$(awk -v ns=$((end - start)) 'BEGIN { printf "%.2f", ns / 1e9 }')
  local slack=1
  [ "$SANITIZED" = ON ] && slack=4
  if [ "$STATUS" -ge 128 ]; then fail "ended by signal $((STATUS - 128)) after ${ELAPSED}s: $(head -c 300 "$WORK/$CASE.err")"; fi
  if awk -v e="$ELAPSED" -v a="$allowed" -v s="$slack" 'BEGIN { exit !(e > a * s) }'; then
    fail "took ${ELAPSED}s, allowed ${allowed}s"
  fi
  echo "ok? [$CASE] status $STATUS in ${ELAPSED}s"
}
expect_status() { [ "$STATUS" = "$1" ] || fail "status $STATUS, expected $1: $(head -c 300 "$WORK/$CASE.err")"; }
expect_message() { grep -q -- "$1" "$WORK/$CASE.err" || fail "no message «$1» in: $(head -c 400 "$WORK/$CASE.err")"; }
# Bytes the traced command read from files whose names end in $1.
bytes_read_from() { awk -v f="$1>" 'index($0, f) && /read\(/ { n += $NF } END { print n + 0 }' "$WORK/$CASE.trace"; }

# --- A side file of 1 GiB whose first picture is damaged ----------------------------------------
# (sparse: it takes no room on the disk). A wrong type byte, and a length of 1 GB that the
# stream's header does not fill: refused after reading a few bytes, not the whole file.
"$MAKE_INPUT" old type.vmc && cp type.vmc length.vmc || fail "old outlines not built"
printf '\x07' > type.blc && truncate -s 1G type.blc
printf '\x04\x00\x00\x00\x3c' > length.blc && truncate -s 1G length.blc
for name in type length; do
  for command in --info --thumbnail; do
    CASE="1 GiB side file, damaged $name, $command"
    if [ $command = --info ]; then run 2 "$VELMAR" --info "$name.vmc"
    else run 4 "$VELMAR" --thumbnail 128 "$name.vmc" "$name.png"; fi
    [ $command = --thumbnail ] && expect_status 1
    if [ $name = type ]; then expect_message "неизвестным типом 7"; else expect_message "не соответствует размеру рисунка"; fi
    read=$(bytes_read_from "$name.blc")
    [ "$read" -le $((5 * 1024 * 1024)) ] || fail "$read bytes read from the side file"
  done
done

# --- Bidirectional overrides reach no terminal --------------------------------------------------
rlo=$(printf '\xe2\x80\xae') lri=$(printf '\xe2\x81\xa6')
cat > bidi.json <<JSON
{"name": "Урок ${rlo}exe.txt", "frames": [{"bounds": [10, 10, 300, 200], "title": "A${lri}B", "minimal": "итог${rlo}txt.exe"}]}
JSON
"$MAKE_OUTLINE" bidi.vmd < bidi.json || fail "bidi.vmd not built"
CASE="bidi overrides, --summary"; run 5 "$VELMAR" --summary bidi.vmd
expect_status 0
grep -q "итог" "$WORK/$CASE.out" || fail "the text is missing: $(head -c 300 "$WORK/$CASE.out")"
if grep -q -e "$rlo" -e "$lri" "$WORK/$CASE.out"; then fail "a bidirectional override reaches the terminal"; fi

# --- The thumbnailer's address space is capped, and a real thumbnail is still drawn -------------
python3 -c 'import sys; sys.stdout.buffer.write(b"P6\n640 480\n255\n" + bytes(range(256)) * 3600)' > photo.ppm
cjpeg -quality 90 photo.ppm > photo.jpg
cat > photo.json <<JSON
{"name": "Фото", "window": [900, 700], "frames": [{"bounds": [10, 40, 700, 560], "title": "Снимок"}],
 "pictures": [{"bounds": [20, 40, 640, 480], "parent": 1, "image": "$WORK/photo.jpg"}]}
JSON
"$MAKE_OUTLINE" photo.vmd < photo.json || fail "photo.vmd not built"
CASE="thumbnail under its memory cap"
run 5 "$VELMAR" --thumbnail 256 photo.vmd photo.png
expect_status 0
[ "$(identify -format '%w' photo.png 2>/dev/null)" = 256 ] || fail "no 256-pixel thumbnail: $(identify photo.png 2>&1)"
if [ "$SANITIZED" = OFF ]; then
  grep -qE 'RLIMIT_AS, \{rlim_cur=(512\*1024\*1024|524288\*1024|536870912)[,}]' "$WORK/$CASE.trace" \
    || fail "the address space is not capped at 512 MB: $(grep -E 'RLIMIT_AS' "$WORK/$CASE.trace" | head -3)"
fi

# --- A working folder whose temp folder takes no new folder -------------------------------------
# The history goes to a private folder of an unpredictable name in the system's temporary folder,
# never to the guessable temp/instance-<process id>. Root ignores permissions: without its
# capabilities it meets them as any user does.
home=$WORK/readonly-home
mkdir -p "$home/temp" "$WORK/tmp" && chmod 700 "$home" && chmod 500 "$home/temp"
drop=()
[ "$(id -u)" = 0 ] && drop=(setpriv --bounding-set=-all --inh-caps=-all --)
CASE="read-only temp folder, window start"
TMPDIR=$WORK/tmp VELMAR_HOME=$home VELMAR_QUIT_WHEN_SHOWN=1 run 15 "${drop[@]}" "$VELMAR"
expect_status 0
if grep -q "Папка не найдена" "$WORK/$CASE.err"; then fail "the message blames a missing folder"; fi
grep -qE "mkdir\(\"$WORK/tmp/velmar-history-[A-Za-z0-9]{6}\"" "$WORK/$CASE.trace" \
  || fail "no private history folder in TMPDIR: $(grep mkdir "$WORK/$CASE.trace" | head -5)"
if grep -qE '^([0-9]+) .*instance-\1"' "$WORK/$CASE.trace"; then fail "a history folder named after the process"; fi

if [ $failures -gt 0 ]; then echo "$failures check(s) failed"; exit 1; fi
echo "all hostile-file checks passed"
