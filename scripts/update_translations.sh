#!/bin/sh
# Brings translations/velmar_en.ts up to date with the texts of src/: new texts are added
# unfinished, texts no longer in the sources are dropped. Translate the unfinished ones (Qt
# Linguist, or by hand) before committing; the translation test names any that are missing.
set -e
cd "$(dirname "$0")/.."
LUPDATE=${LUPDATE:-/usr/lib/qt6/bin/lupdate}
"$LUPDATE" -silent -no-obsolete -locations none -source-language ru_RU -target-language en_US \
  src -ts translations/velmar_en.ts
