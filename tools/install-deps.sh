#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and `make run` need.
# Idempotent and quick when everything is already there.
set -euo pipefail

packages=(cmake make g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64 xvfb
          fonts-wqy-zenhei doctest-dev imagemagick file zip unzip locales)

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
# A mirror in the middle of a sync fails single index files; what did arrive is still used.
apt-get update -qq || echo "apt-get update reported errors; going on with the indexes it has" >&2
apt_install() { DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" >/dev/null; }
# When the security mirror's i386 index lags behind its amd64 one, the two halves of a
# multi-arch library cannot agree on a version; the release's own versions always can.
apt_install "${missing[@]}" ||
    apt_install -t "$(. /etc/os-release && echo "$VERSION_CODENAME")" "${missing[@]}"
