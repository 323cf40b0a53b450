# Shared by run.sh and test.sh: installs missing Debian packages and builds Velmar.

# What building and running Velmar needs (./run.sh).
VELMAR_PACKAGES=(
  cmake ninja-build g++ pkg-config
  # Compilations are reused across build folders and clones (optional, but a rebuild is minutes).
  ccache
  # LLVM's linker: relinking after a small change takes seconds instead of minutes (optional).
  lld
  qt6-base-dev qt6-multimedia-dev qt6-qpa-plugins libqt6opengl6-dev
  # Qt Multimedia plays the video fragments through GStreamer: the AVI, QuickTime/MP4 and Matroska
  # demuxers, MJPEG and DV (good), the H.264/H.265/MPEG-4 parsers (bad), and FFmpeg's decoders (libav).
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad gstreamer1.0-libav
  # Films' first pictures are read with FFmpeg's libraries.
  libavformat-dev libavcodec-dev libswscale-dev libavutil-dev
  libjpeg62-turbo-dev
  # Slide decks (.pptx, .odp) are zip archives.
  libzip-dev
  fonts-dejavu-core shared-mime-info desktop-file-utils xdg-utils
  # SVG export (QSvgGenerator).
  qt6-svg-dev
  # Spell checking of typed texts: Hunspell and its Russian and English dictionaries.
  libhunspell-dev hunspell-ru hunspell-en-us
  # Qt's own Russian texts for the standard dialogs (qtbase_ru.qm).
  qt6-translations-l10n
  # The English interface: lupdate/lrelease and their CMake functions (Qt6::LinguistTools).
  qt6-l10n-tools qt6-tools-dev
)

# What the test suite needs besides (./test.sh).
VELMAR_TEST_PACKAGES=(
  # ffmpeg makes the test films; the benchmarks use Google Benchmark.
  ffmpeg libbenchmark-dev
  # Packaging: the .deb's library dependencies, AppStream validation, MIME look-up by content.
  dpkg-dev appstream libfile-mimeinfo-perl
  # The fuzz harnesses of the readers (scripts/fuzz.sh): clang with libFuzzer.
  clang libclang-rt-14-dev
  # The PDF checks of the export and print tests.
  poppler-utils
  # The slide deck test: LibreOffice opens the decks and converts them to PDF.
  libreoffice-impress-nogui
  # The format check of the sources.
  clang-format
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

# velmar_missing_packages PACKAGE...: prints the packages not installed, one a line, and nothing
# at all when every one is there.
velmar_missing_packages() {
  local p
  for p in "$@"; do
    [ "$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null)" = installed ] || printf '%s\n' "$p"
  done
}

# velmar_install_packages PACKAGE...: installs those of the packages that are missing. With
# nothing missing it neither calls apt nor needs root or the network. When apt cannot install
# (no root and no sudo, no network, the package database locked), it names the missing packages
# and the command that installs them, and returns 1.
velmar_install_packages() {
  local missing
  mapfile -t missing < <(velmar_missing_packages "$@")
  [ "${#missing[@]}" -eq 0 ] && return 0
  local sudo=() log
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then sudo=(sudo); else
      velmar_cannot_install "this needs root, and sudo is not installed" "${missing[@]}"; return 1
    fi
  fi
  echo "Installing: ${missing[*]}"
  log=$(mktemp)
  if ! { "${sudo[@]}" apt-get update -qq && DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq \
            "${missing[@]}"; } >"$log" 2>&1; then
    velmar_cannot_install "apt-get failed (its last words: $(tail -n 1 "$log"))" "${missing[@]}"
    rm -f "$log"
    return 1
  fi
  rm -f "$log"
}

velmar_cannot_install() {
  local why=$1; shift
  {
    echo "Velmar needs packages that are not installed: $*"
    echo "They could not be installed: $why."
    echo "Install them, then run this command again:"
    echo "  sudo apt-get update && sudo apt-get install $*"
  } >&2
}

# velmar_build DIR [cmake options...]: configures and builds DIR.
velmar_build() {
  local dir=$1; shift
  local launcher=()
  # Reuse earlier compilations where ccache is installed (it is optional).
  if command -v ccache >/dev/null; then
    # Paths below the source folder are hashed relative to it and the working folder is left out,
    # so another clone or worktree of the same sources reuses the same compilations. Precompiled
    # headers are off here: they embed their build folder's paths and would defeat that.
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DVELMAR_PCH=OFF)
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}
    export CCACHE_SLOPPINESS=${CCACHE_SLOPPINESS:-time_macros,include_file_mtime,include_file_ctime}
    export CCACHE_MAXSIZE=${CCACHE_MAXSIZE:-20G}
  fi
  # VELMAR_WERROR=1 makes every compiler warning an error (CI sets it).
  local werror=OFF
  [ "${VELMAR_WERROR:-0}" = 1 ] && werror=ON
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMAR_WERROR=$werror "${launcher[@]}" "$@" >/dev/null
  if [ $werror = OFF ]; then
    cmake --build "$dir"
    return
  fi
  # ccache leaves -Werror out of its key, so compilations made without it are reused; it replays the
  # warnings such a compilation printed, and those fail the build here as -Werror would.
  local log status
  log=$(mktemp)
  CCACHE_IGNOREOPTIONS=-Werror cmake --build "$dir" 2>&1 | tee "$log"
  status=${PIPESTATUS[0]}
  if [ "$status" -eq 0 ] && grep -qE '^[^ :]+:[0-9]+:([0-9]+:)? warning:' "$log"; then
    echo "The build printed compiler warnings (VELMAR_WERROR=1 makes them errors)." >&2
    status=1
  fi
  rm -f "$log"
  return "$status"
}
