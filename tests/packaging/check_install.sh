#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a package would hold: every file in
# its place, the desktop entry and AppStream description valid, outlines recognised by content,
# the thumbnailer entry's command producing a preview. Usage: check_install.sh BUILD_DIR MAKE_OUTLINE
set -euo pipefail
build=$1
make_outline=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
outline=$work/lesson.vmd
echo '{"name": "Урок", "frames": [{"bounds": [20, 40, 300, 200], "title": "Лес"}],
       "pictures": [{"bounds": [10, 20, 200, 150], "parent": 1}]}' | "$make_outline" "$outline"
prefix=$work/usr
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

for f in bin/velmar libexec/velmar share/applications/org.velmar.velmar.desktop share/mime/packages/velmar.xml \
         share/thumbnailers/velmar.thumbnailer share/metainfo/org.velmar.velmar.metainfo.xml \
         share/doc/velmar/help/index.html share/doc/velmar/help/index_en.html share/icons/hicolor/scalable/apps/velmar.svg; do
  [ -s "$prefix/$f" ] || fail "$f is not installed"
done
for size in 16 32 48 64 128 256; do
  icon=$prefix/share/icons/hicolor/${size}x${size}/apps/velmar.png
  [ "$(identify -format '%wx%h' "$icon")" = "${size}x${size}" ] || fail "icon $icon is not ${size}x${size}"
done

desktop-file-validate "$prefix/share/applications/org.velmar.velmar.desktop" || fail "desktop entry"
appstreamcli validate --pedantic --no-net "$prefix/share/metainfo/org.velmar.velmar.metainfo.xml" \
  > "$work/appstream.txt" 2>&1 || { cat "$work/appstream.txt"; fail "AppStream description"; }
# Pedantic remarks pass; warnings and errors do not.
! grep -E '^(W|E):' "$work/appstream.txt" || fail "AppStream warnings"

# Recognised by content: a copy of the outline without its extension, with only the installed
# MIME package known.
update-mime-database "$prefix/share/mime" >/dev/null 2>&1
cp "$outline" "$work/no-extension"
mkdir -p "$work/home"
type=$(HOME=$work/home XDG_DATA_HOME=$work/home XDG_DATA_DIRS=$prefix/share xdg-mime query filetype "$work/no-extension")
[ "$type" = application/x-velmar-outline ] || fail "outline without extension is $type"
type=$(HOME=$work/home XDG_DATA_HOME=$work/home XDG_DATA_DIRS=$prefix/share xdg-mime query filetype "$outline")
[ "$type" = application/x-velmar-outline ] || fail "outline is $type"

# The thumbnailer entry's command, as a file manager runs it (%s %i %o), with the installed program.
exec_line=$(sed -n 's/^Exec=//p' "$prefix/share/thumbnailers/velmar.thumbnailer")
command=${exec_line//%s/128}
command=${command//%i/$outline}
command=${command//%o/$work/thumb.png}
PATH=$prefix/bin:$PATH $command 2>/dev/null || fail "thumbnailer command: $command"
size=$(identify -format '%w %h' "$work/thumb.png")
read -r w h <<<"$size"
[ "$w" -eq 128 ] || [ "$h" -eq 128 ] || fail "thumbnail is $size, not fitted into 128"
# The modules the program loads on first use lie where the installed program looks for them: each
# one installed, and a slide deck (written through the zip module) made by the installed program.
for module in velmar_media velmar_film_pictures velmar_zip velmar_spelling velmar_print; do
  find "$prefix" -path "*/velmar/modules/$module.so" | grep -q . || fail "module $module is not installed"
done
"$prefix/bin/velmar" --export "$work/deck.pptx" "$outline" >"$work/deck.txt" 2>&1 \
  || { cat "$work/deck.txt"; fail "the installed program writes no slide deck"; }
[ "$(head -c 2 "$work/deck.pptx")" = PK ] || fail "the installed program's slide deck is no zip archive"
# The Debian package as the archive's checker sees it: no errors, no warnings. A sanitizer build
# is not a package anyone ships, so only the plain build is checked.
if grep -q '^VELMAR_SANITIZE:BOOL=ON' "$build/CMakeCache.txt"; then
  echo "lintian: skipped for the sanitizer build"
else
  cpack --config "$build/CPackConfig.cmake" -B "$work/package" -G DEB >"$work/cpack.log" 2>&1 \
    || { cat "$work/cpack.log"; fail "building the Debian package"; }
  deb=$(ls "$work"/package/velmar_*.deb)
  lintian --tag-display-limit 0 "$deb" >"$work/lintian.txt" 2>&1 || true
  if grep -E '^(E|W):' "$work/lintian.txt"; then fail "lintian reports errors or warnings"; fi
  dpkg-deb -c "$deb" >"$work/contents.txt"
  for page in usr/share/man/man1/velmar.1.gz usr/share/man/ru/man1/velmar.1.gz \
              usr/share/doc/velmar/copyright usr/share/doc/velmar/changelog.gz; do
    grep -q "\./$page\$" "$work/contents.txt" || fail "$page is not in the package"
  done
  # Each manual page names every option of the command line's help.
  "$build/src/velmar" --help >"$work/help.txt"
  for page in velmar.1 ru/velmar.1; do
    zcat "$build/packaging/debian/man/$page.gz" >"$work/page.txt"
    for option in $(grep -oE '^  (-[a-z], )?--[a-z-]+' "$work/help.txt" | grep -oE -- '--[a-z-]+'); do
      grep -qF -- "$(echo "$option" | sed 's/-/\\-/g')" "$work/page.txt" \
        || fail "manual page $page does not describe $option"
    done
  done
fi
echo "installed tree, desktop entry, AppStream, MIME by content, thumbnailer and package: ok"
