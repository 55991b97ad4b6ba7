#!/usr/bin/env bash
# Draws the main window after composing the factory default composition and
# saves it as docs/screenshot.png. Needs no display: the window is drawn on
# Qt's offscreen platform by the GUI test that composes it.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
out="${1:-$root/docs/screenshot.png}"
mkdir -p "$(dirname "$out")"

cmake --preset default >/dev/null
cmake --build --preset default --target tessavar_gui_tests
runtime="$(mktemp -d)"
trap 'rm -rf "$runtime"' EXIT
QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$runtime" \
  TESSAVAR_SCREENSHOT="$out" \
  ./build/tests/tessavar_gui_tests \
  --gtest_filter=ScreenshotTest.MainWindowAfterComposingTheFactoryDefault
echo "screenshot: $out"
