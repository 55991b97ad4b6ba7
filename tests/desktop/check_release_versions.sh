#!/bin/sh
# The newest release the metainfo names is the newest of the Debian
# changelog, with its date, and the version the build gives the programs.
#   check_release_versions.sh METAINFO CHANGELOG PROJECT_VERSION
set -eu
metainfo="$1"
changelog="$2"
project_version="$3"
newest="$(grep -o '<release version="[^"]*" date="[^"]*"' "$metainfo" |
  head -n 1)"
version="$(dpkg-parsechangelog -l "$changelog" -S Version)"
date="$(date -u -d "$(dpkg-parsechangelog -l "$changelog" -S Date)" +%F)"
expected="<release version=\"${version%%-*}\" date=\"$date\""
if [ "$newest" != "$expected" ]; then
  echo "metainfo has $newest, the changelog $expected" >&2
  exit 1
fi
if [ "${version%%-*}" != "$project_version" ]; then
  echo "the changelog has $version, the project $project_version" >&2
  exit 1
fi
