#!/usr/bin/env bash
# Every C++ source of the project is formatted as .clang-format says; names each file that is not,
# with the command that fixes it. Skipped (status 77) where clang-format is not installed.
set -uo pipefail
cd "$(dirname "$0")/../.."
if ! command -v clang-format >/dev/null; then
  echo "clang-format is not installed: the format check is skipped"
  exit 77
fi
mapfile -t files < <(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' \
  'fuzz/*.cpp' 2>/dev/null || find src tests bench fuzz -name '*.cpp' -o -name '*.h')
# One run over all files: clang-format names each place that differs.
out=$(clang-format --dry-run -Werror "${files[@]}" 2>&1)
if [ $? -ne 0 ]; then
  bad=$(printf '%s\n' "$out" | sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error:.*/\1/p' | sort -u)
  printf 'not formatted: %s\n' $bad
  echo "fix with: clang-format -i" $bad
  exit 1
fi
echo "${#files[@]} files formatted"
