#!/usr/bin/env bash
# The set-up functions of run.sh and test.sh, with apt-get, sudo and dpkg-query replaced by fakes
# first in PATH: apt and sudo fail loudly if called, dpkg-query says which packages are installed.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
for tool in apt-get sudo; do
  printf '#!/bin/sh\necho "%s was called: $*" >>"%s/called"\necho "E: %s must not run here" >&2\nexit 100\n' \
    "$tool" "$work" "$tool" >"$work/bin/$tool"
done
# Every package is installed but those named in $work/missing.
cat >"$work/bin/dpkg-query" <<FAKE
#!/bin/sh
for last; do :; done
grep -qx "\$last" "$work/missing" 2>/dev/null && exit 1
printf installed
FAKE
# id -u answers as an ordinary user when $work/user exists.
cat >"$work/bin/id" <<FAKE
#!/bin/sh
if [ -e "$work/user" ] && [ "\$1" = -u ]; then echo 1000; else exec /usr/bin/id "\$@"; fi
FAKE
chmod +x "$work/bin/"*
export PATH="$work/bin:$PATH"
. "$root/scripts/common.sh"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Nothing missing: no output at all, apt and sudo never called, success, as root or not.
: >"$work/missing"
for who in root user; do
  [ $who = user ] && touch "$work/user"
  out=$(velmar_install_packages "${VELMAR_PACKAGES[@]}" "${VELMAR_TEST_PACKAGES[@]}" 2>&1); status=$?
  [ $status -eq 0 ] || fail "nothing missing ($who): status $status"
  [ -z "$out" ] || fail "nothing missing ($who): printed '$out'"
  [ ! -e "$work/called" ] || fail "nothing missing ($who): $(cat "$work/called")"
  [ -z "$(velmar_missing_packages "${VELMAR_PACKAGES[@]}")" ] || fail "missing list not empty"
done
rm -f "$work/user"

# One package missing and apt failing: the message names it and the command, not apt's words only.
echo xdotool >"$work/missing"
out=$(velmar_install_packages "${VELMAR_PACKAGES[@]}" "${VELMAR_TEST_PACKAGES[@]}" 2>&1); status=$?
[ $status -ne 0 ] || fail "apt failing reported as success"
grep -q "not installed: xdotool$" <<<"$out" || fail "message does not name the package: $out"
grep -q "sudo apt-get update && sudo apt-get install xdotool$" <<<"$out" || fail "no install command: $out"
[ "$(velmar_missing_packages "${VELMAR_PACKAGES[@]}" "${VELMAR_TEST_PACKAGES[@]}")" = xdotool ] ||
  fail "missing list is not exactly xdotool"
# Running needs none of the test packages: run.sh's list is complete without xdotool.
[ -z "$(velmar_missing_packages "${VELMAR_PACKAGES[@]}")" ] || fail "xdotool counted for running"

# Not root and no sudo on the machine: said without calling apt.
rm -f "$work/called" "$work/bin/sudo"
touch "$work/user"
mkdir "$work/nosudo"
for t in bash dirname mktemp tail rm grep cat printf; do ln -sf "$(command -v $t)" "$work/nosudo/$t" 2>/dev/null; done
out=$(PATH="$work/bin:$work/nosudo" velmar_install_packages xdotool 2>&1); status=$?
[ $status -ne 0 ] || fail "no root and no sudo reported as success"
grep -q "sudo is not installed" <<<"$out" || fail "no-sudo message: $out"
grep -q "not installed: xdotool$" <<<"$out" || fail "no-sudo message does not name the package: $out"
[ ! -e "$work/called" ] || fail "apt called without root: $(cat "$work/called")"

if [ $failures -eq 0 ]; then echo "1 passed, 0 failed"; else echo "0 passed, 1 failed"; exit 1; fi
