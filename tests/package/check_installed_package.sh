#!/bin/sh
# Unpacks the binary package into an empty root and checks it as a clean
# system would see it: every library its programs need comes from a package
# it depends on, and the installed composer, run from the root, composes,
# renders and draws exactly what the build tree's composer does.
#   check_installed_package.sh PACKAGE.deb BUILD_TREE_TESSAVAR_CLI
set -eu
deb="$1"
built="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
root="$work/root"
dpkg-deb -x "$deb" "$root"
installed="$root/usr/bin/tessavar-cli"

fail() {
  echo "check_installed_package: $*" >&2
  exit 1
}

# The packages named in Depends, alternatives included.
dpkg-deb -f "$deb" Depends | tr ',|' '\n\n' |
  sed 's/([^)]*)//; s/[[:space:]]//g; s/:any$//' | sort -u > "$work/depends"

# The package holding a library; merged /usr is tried both ways.
owner() {
  for path in "$1" "/usr$1" "${1#/usr}"; do
    if dpkg -S "$path" 2>/dev/null; then return 0; fi
  done
  return 1
}

for program in "$root"/usr/bin/* "$root"/usr/libexec/tessavar/*; do
  ldd "$program" > "$work/ldd"
  if grep -q 'not found' "$work/ldd"; then
    fail "$(basename "$program") misses libraries: $(grep 'not found' "$work/ldd")"
  fi
  for library in $(objdump -p "$program" | awk '$1 == "NEEDED" { print $2 }'); do
    path="$(awk -v lib="$library" '$1 == lib { print $3 }' "$work/ldd")"
    package="$(owner "$path" | head -n 1 | cut -d: -f1)" ||
      fail "no package holds $path"
    grep -qx "$package" "$work/depends" ||
      fail "$(basename "$program") needs $library from $package, not in Depends"
  done
done

# The installed programs find their factory files and helpers from where
# they lie; the build tree's are the reference.
cd "$work"
"$installed" compose -q -o installed.mid
"$built" compose -q -o built.mid
cmp built.mid installed.mid || fail "the installed composer composes otherwise"
"$installed" render -q installed.mid installed.wav
"$built" render -q built.mid built.wav
cmp built.wav installed.wav || fail "the installed renderer renders otherwise"
export QT_QPA_PLATFORM=offscreen
"$installed" roll installed.mid installed.png
"$built" roll built.mid built.png
cmp built.png installed.png || fail "the installed roll draws otherwise"
echo "check_installed_package: $(basename "$deb") runs as the build tree does"
