#!/usr/bin/env bash
# Installs the Debian packages Zentaro needs that are not there yet.
#   tools/deps.sh          build and play
#   tools/deps.sh --test   also everything the tests need
set -euo pipefail
pkgs=(build-essential cmake pkg-config libglfw3-dev libglew-dev libglm-dev libfreeimage-dev libbullet-dev
      libdeflate-dev libgl1-mesa-dri libopenal-dev libsndfile1-dev libimgui-dev fonts-dejavu-core dpkg-dev file)
if [ "${1:-}" = "--test" ]; then
  pkgs+=(googletest libgtest-dev xvfb xauth xdotool imagemagick x11-utils clang libclang-rt-14-dev
        desktop-file-utils appstream python3 python3-numpy python3-pil)
fi
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing: ${missing[*]}"
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
