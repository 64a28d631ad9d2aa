#!/usr/bin/env bash
# Installs the Debian packages that the build and the tests need (and those named as
# arguments), and nothing when they are all present already.
set -euo pipefail

# The window's faces are old Windows ones: Liberation Sans stands in for them, and DejaVu
# gives the desktop a proportional default where nothing else does. desktop-file-utils and
# appstream check the desktop entry and the software-centre entry. No package names a
# version, so the same list serves Debian 12 and 13.
packages=(build-essential cmake ninja-build pkg-config file qt6-base-dev libjpeg-dev
          fonts-liberation fonts-dejavu-core desktop-file-utils appstream "$@")
# Little CMS converts CMYK JPEGs through their colour profiles; xcb reads the profile an X11
# screen publishes; libseccomp shuts the decoding helper in.
packages+=(liblcms2-dev libxcb1-dev libseccomp-dev)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
