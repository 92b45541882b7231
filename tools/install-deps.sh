#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and `make run` need.
# Idempotent and quick when everything is already there.
set -euo pipefail

packages=(cmake make g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64 xvfb xauth
          fonts-wqy-zenhei doctest-dev imagemagick xdotool)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages need root: ${missing[*]}" >&2
    exit 1
fi
# wine32 exists only for the i386 architecture; without it 32-bit programs do not run.
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
apt-get update -qq
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
