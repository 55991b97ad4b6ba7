#!/bin/sh
# Builds a MIME database from the program's package file alone and checks
# that it gives composition files their type and comment.
set -eu
package="$1"
data="$(mktemp -d)"
trap 'rm -rf "$data"' EXIT
db="$data/mime"
mkdir -p "$db/packages"
cp "$package" "$db/packages/"
XDG_DATA_DIRS="$data" update-mime-database "$db"
grep -qx 'application/x-tessavar-composition:\*\.tvx' "$db/globs"
grep -q '<comment>Tessavar Composer composition</comment>' \
  "$db/application/x-tessavar-composition.xml"
