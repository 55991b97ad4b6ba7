#!/usr/bin/env bash
# Set-up, build, test and demo entry point for Tessavar Composer.
#   ./tessavar.sh test   install what is missing, build, run every test
#   ./tessavar.sh demo   install, build, compose the factory default and
#                        render it to audio
#   ./tessavar.sh gui [FILE.tvx]
#                        install, build and start the desktop program
#   ./tessavar.sh build  install and build only
set -euo pipefail

start_dir="$PWD"  # where a file named on the command line is relative to
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cd "$root"

# The one list of Debian packages the project needs.
readonly PACKAGES=(
  cmake ninja-build pkg-config g++
  qt6-base-dev qt6-qpa-plugins qt6-svg-dev
  libfluidsynth-dev libsndfile1-dev timgm6mb-soundfont libasound2-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev nlohmann-json3-dev
  xvfb xauth locales
  desktop-file-utils appstream shared-mime-info
  python3 zsh fish
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

build() {
  install_missing
  local p
  p="$(preset)"
  log "configuring (preset $p)"
  cmake --preset "$p" >/dev/null
  log "building"
  cmake --build --preset "$p"
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

case "${1:-}" in
  test) run_tests ;;
  demo) demo ;;
  gui) shift; gui "$@" ;;
  build) build ;;
  *)
    echo "usage: $0 {test|demo|gui|build}" >&2
    exit 2
    ;;
esac
