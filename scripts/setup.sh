#!/bin/bash
# Installs every Debian package the build and the tests need. Idempotent and fast when
# everything is present: apt runs only when a package is missing.
set -euo pipefail

packages=(cmake ninja-build g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686
          wine wine32 fonts-wine xvfb xauth googletest locales
          g++ zlib1g-dev libz-mingw-w64-dev)

missing=()
dpkg --print-foreign-architectures | grep -qx i386 || missing+=(i386-arch)
# One query for all (one per package took a quarter of a second of every build).
installed=$(dpkg-query -W -f='${Status} ${Package}\n' "${packages[@]}" 2>/dev/null |
  awk '$1 == "install" && $2 == "ok" && $3 == "installed" {sub(/:.*/, "", $4); print $4}') || true
for p in "${packages[@]}"; do
  [[ $'\n'$installed$'\n' == *$'\n'$p$'\n'* ]] || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO dpkg --add-architecture i386
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${packages[@]}" >/dev/null
fi
# Wine takes its locale from LANG; the tests pin en_US.UTF-8.
if ! locale -a 2>/dev/null | grep -qi '^en_US.utf8$'; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO sed -i 's/^# *en_US.UTF-8 UTF-8/en_US.UTF-8 UTF-8/' /etc/locale.gen
  $SUDO locale-gen >/dev/null
fi
