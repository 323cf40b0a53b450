#!/usr/bin/env bash
# Installs what is missing, builds Velmar and runs the whole test suite headless, then once more
# built with AddressSanitizer and UndefinedBehaviorSanitizer. Exits non-zero on any failure.
# VELMAR_SKIP_SANITIZERS=1 skips the second run.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/common.sh
export QT_QPA_PLATFORM=offscreen
velmar_install_packages "${VELMAR_PACKAGES[@]}" "${VELMAR_TEST_PACKAGES[@]}"
velmar_build build
ctest --test-dir build --output-on-failure -j "$(nproc)"
if [ "${VELMAR_SKIP_SANITIZERS:-0}" != 1 ]; then
  velmar_build build-asan -DCMAKE_BUILD_TYPE=Debug -DVELMAR_SANITIZE=ON -DVELMAR_BENCH=OFF
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
  LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan --output-on-failure -j "$(nproc)"
fi
