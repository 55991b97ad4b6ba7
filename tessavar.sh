#!/usr/bin/env bash
# Set-up, build, test and demo entry point for Tessavar Composer.
#   ./tessavar.sh test   install what is missing, build, run every test
#   ./tessavar.sh demo   install, build, compose the factory default and
#                        render it to audio
#   ./tessavar.sh gui [FILE.tvx]
#                        install, build and start the desktop program
#   ./tessavar.sh build  install and build only
#   ./tessavar.sh package
#                        build the Debian package into build/package/, check
#                        it with lintian and run it from an unpacked root
set -euo pipefail

start_dir="$PWD"  # where a file named on the command line is relative to
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cd "$root"

# The one list of Debian packages the project needs.
readonly PACKAGES=(
  cmake ninja-build pkg-config g++
  qt6-base-dev qt6-qpa-plugins qt6-svg-dev
  libfluidsynth-dev libsndfile1-dev timgm6mb-soundfont libasound2-dev
  libjack-jackd2-dev pulseaudio pulseaudio-utils jackd2
  libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev nlohmann-json3-dev libpugixml-dev libzip-dev
  python3-mido libxml2-utils
  xvfb xauth locales
  desktop-file-utils appstream shared-mime-info librsvg2-bin
  dpkg-dev debhelper lintian python3 zsh fish
)

log() { printf '==> %s\n' "$*" >&2; }

install_missing() {
  local missing=() pkg
  for pkg in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null |
        grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  log "installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

preset() {
  if [ "${CI:-}" = "true" ]; then echo ci; else echo default; fi
}

# Builds everything, or only the targets named.
build() {
  install_missing
  local p
  p="$(preset)"
  log "configuring (preset $p)"
  cmake --preset "$p" >/dev/null
  log "building"
  cmake --build --preset "$p" ${1:+--target "$@"}
}

# In CI (or with TESSAVAR_SANITIZE=1) the tests of the engine, base, MIDI,
# file, model and command-line layers also run under AddressSanitizer and
# UBSan, built apart in build-sanitize/ without the desktop program.
sanitize_wanted() {
  [ "${CI:-}" = "true" ] || [ "${TESSAVAR_SANITIZE:-}" = "1" ]
}

run_tests() {
  build
  local sanitize_status=0
  if sanitize_wanted; then
    log "building the sanitizer tests"
    cmake --preset sanitize >/dev/null
    cmake --build --preset sanitize
    log "running the sanitizer tests"
    ctest --preset sanitize -j "$(nproc)" || sanitize_status=$?
  fi
  log "running tests"
  # Last, so that its summary closes the output.
  ctest --preset "$(preset)" -j "$(nproc)"
  if [ "$sanitize_status" -ne 0 ]; then
    log "the sanitizer tests failed (see above)"
    return "$sanitize_status"
  fi
}

demo() {
  build
  local out="$root/build/demo"
  mkdir -p "$out"
  log "composing the factory default composition"
  ./build/tessavar-cli compose -o "$out/factory.mid"
  log "MIDI file: $out/factory.mid"
  if ./build/tessavar-cli render "$out/factory.mid" "$out/factory.wav"; then
    log "audio file: $out/factory.wav"
  fi
}

# The desktop program finds (and on first use prepares) its own program
# directory, ~/TessavarComposer or $TESSAVAR_HOME; a composition named after
# "gui" is opened.
gui() {
  build
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] &&
      [ -z "${QT_QPA_PLATFORM:-}" ]; then
    log "no display found: run it on a desktop, or under xvfb-run"
    exit 1
  fi
  cd "$start_dir"
  exec "$root/build/bin/tessavar" "$@"
}

# The binary package, built from a copy of the tree in build/package/ (where
# dpkg-buildpackage leaves the .deb files beside it) so that the tree stays
# clean; the copy's build folder is kept for the next run, and the compiler
# cache is the user's own although debhelper gives the build another HOME.
package() {
  build tessavar-cli tessavar-render tessavar-roll
  if ! dpkg-checkbuilddeps >/dev/null 2>&1; then
    log "installing the package's build dependencies"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get build-dep -y -qq ./
  fi
  local out="$root/build/package"
  local version
  version="$(dpkg-parsechangelog -S Version)"
  local tree="$out/tessavar-$version"
  mkdir -p "$tree"
  find "$out" -maxdepth 1 -type f -name 'tessavar*' -delete
  find "$tree" -mindepth 1 -maxdepth 1 ! -name 'obj-*' -exec rm -rf {} +
  tar -C "$root" --exclude=./build --exclude='./build-*' --exclude=./.git \
    -cf - . | tar -C "$tree" -xf -
  log "building the package"
  export CCACHE_DIR="${CCACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/ccache}"
  (cd "$tree" && dpkg-buildpackage -b -us -uc -nc -j"$(nproc)")
  log "checking it with lintian"
  lintian --fail-on error,warning "$out"/*.deb
  log "running it unpacked"
  sh tests/package/check_installed_package.sh \
    "$out/tessavar_${version}_$(dpkg --print-architecture).deb" \
    "$root/build/bin/tessavar-cli"
  log "packages: $(ls "$out"/*.deb | tr '\n' ' ')"
}

case "${1:-}" in
  test) run_tests ;;
  demo) demo ;;
  gui) shift; gui "$@" ;;
  build) build ;;
  package) package ;;
  *)
    echo "usage: $0 {test|demo|gui|build|package}" >&2
    exit 2
    ;;
esac
