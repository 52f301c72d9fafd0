#!/usr/bin/env bash
# The AppStream metadata as software centres read it: valid without a single warning or hint
# (the network not asked), and its newest release the project's version.
#   metainfo.sh METAINFO_FILE VERSION
set -euo pipefail
metainfo=$1
version=$2
command -v appstreamcli >/dev/null || { echo "SKIP: appstreamcli is missing (apt-get install appstream)" >&2; exit 77; }
appstreamcli validate --no-net --strict "$metainfo"
# Releases are listed newest first.
newest=$(grep -o '<release version="[^"]*"' "$metainfo" | head -1 | cut -d'"' -f2)
[ "$newest" = "$version" ] || { echo "FAIL: the newest release is $newest, the project is $version" >&2; exit 1; }
