#!/usr/bin/env bash
# Checks a desktop entry and a software-centre entry the way a desktop and a software centre
# read them, strictly.
#
#   scripts/check-entries.sh <file.desktop> <file.metainfo.xml>
#
# AppStream 1.0 asks for <developer> in place of developer_name; the AppStream before it
# (Debian 12's 0.16) does not know that tag and calls it unknown, so there, and only there,
# an unknown tag passes. AppStream 1.0 still checks every tag.
set -euo pipefail
desktop-file-validate "$1"
lenient=()
if appstreamcli --version | grep -q 'version: 0\.'; then
  lenient=(--override=unknown-tag=pedantic)
fi
appstreamcli validate --no-net --strict "${lenient[@]}" "$2"
