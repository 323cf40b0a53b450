# Shared by run.sh and test.sh: installs missing Debian packages and builds Velmar.

VELMAR_PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-multimedia-dev qt6-qpa-plugins libqt6opengl6-dev
  # Qt Multimedia plays the video fragments through GStreamer: the AVI demuxer, MJPEG and DV
  # (good), MPEG-4 Part 2/Xvid, MS Video-1, MS RLE and Cinepak (libav). ffmpeg makes test films.
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-libav ffmpeg
  libjpeg62-turbo-dev libbenchmark-dev
  fonts-dejavu-core shared-mime-info desktop-file-utils xdg-utils
  # Packaging: the .deb's library dependencies, AppStream validation, MIME look-up by content.
  dpkg-dev appstream libfile-mimeinfo-perl
  # The fuzz harnesses of the readers (scripts/fuzz.sh): clang with libFuzzer.
  clang libclang-rt-14-dev
  # SVG export (QSvgGenerator) and the PDF text check of the export tests.
  qt6-svg-dev poppler-utils
  # Qt's own Russian texts for the standard dialogs (qtbase_ru.qm).
  qt6-translations-l10n
  # The English interface: lupdate/lrelease and their CMake functions (Qt6::LinguistTools).
  qt6-l10n-tools qt6-tools-dev
  # The real-input tests: a virtual X server, a window manager, X input and screenshots.
  python3 xvfb openbox xdotool x11-utils imagemagick
  # xmodmap: the Unicode typing test puts characters on spare keys.
  x11-xserver-utils
  # The web page tests: a real browser, driven headless through its debugging protocol.
  chromium
  # The clipboard exchange with other programs in the real-input tests.
  xclip
  # The archive checker run on the Debian package by the packaging test.
  lintian
  # The hostile-document tests: progressive JPEGs (cjpeg), tracing what a command opens, limits.
  libjpeg-turbo-progs strace util-linux
  # The Wayland smoke test: a headless compositor and Qt's Wayland platform.
  weston qt6-wayland
  # The accessibility test: the AT-SPI bus and registry, its Python bindings, a private session bus.
  at-spi2-core python3-pyatspi dbus-daemon
)

velmar_missing_packages() {
  local missing=() p
  for p in "${VELMAR_PACKAGES[@]}"; do
    [ "$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null)" = installed ] || missing+=("$p")
  done
  printf '%s\n' "${missing[@]}"
}

velmar_install_packages() {
  local missing
  mapfile -t missing < <(velmar_missing_packages)
  [ "${#missing[@]}" -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null; then sudo=(sudo); else
      echo "Missing packages (run as root to install them): ${missing[*]}" >&2; return 1
    fi
  fi
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}"
}

# velmar_build DIR [cmake options...]
velmar_build() {
  local dir=$1; shift
  local launcher=()
  # Reuse earlier compilations where ccache is installed (it is optional).
  if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    export CCACHE_SLOPPINESS=${CCACHE_SLOPPINESS:-pch_defines,time_macros,include_file_mtime,include_file_ctime}
  fi
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" >/dev/null
  cmake --build "$dir"
}
