#!/usr/bin/env bash
# Installs what is missing, builds Velmar and starts it: ./run.sh [outline.vmd]
set -euo pipefail
cd "$(dirname "$0")"
. scripts/common.sh
args=()
for a in "$@"; do
  # The outline path is taken relative to the folder the command was started in.
  if [ -e "$OLDPWD/$a" ] 2>/dev/null && [[ "$a" != /* ]]; then args+=("$OLDPWD/$a"); else args+=("$a"); fi
done
velmar_install_packages "${VELMAR_PACKAGES[@]}"
velmar_build build
exec build/src/velmar "${args[@]}"
