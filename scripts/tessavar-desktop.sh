#!/bin/sh
# Starts Tessavar Composer from the desktop menu. The program works in its
# current directory, so it is started in a program directory of its own
# (~/TessavarComposer, or $TESSAVAR_HOME) that holds the factory composition
# and the help document; they are copied there on first use and the user's
# files are never overwritten.
set -e
bin="$(cd "$(dirname "$0")" && pwd)"
share="$bin/../share/tessavar"
dir="${TESSAVAR_HOME:-$HOME/TessavarComposer}"
mkdir -p "$dir"
for name in DEFAULT.TVX THELP20.RTF; do
  if ! ls "$dir" | grep -qix "$name" && [ -f "$share/$name" ]; then
    # The program writes its files with lower-case names; so do we.
    cp "$share/$name" "$dir/$(printf %s "$name" | tr A-Z a-z)"
  fi
done
cd "$dir"
exec "$bin/tessavar" "$@"
