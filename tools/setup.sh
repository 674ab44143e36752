#!/usr/bin/env bash
# Installs what building and testing VQBroker needs on Debian 12 (as root); installs
# nothing that is there already.
set -euo pipefail
packages=(cmake make g++ clang libclang-rt-14-dev googletest xvfb xauth
          g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine64 wine32:i386
          msitools wixl mingw-w64-tools libwine-dev)
missing=()
for package in "${packages[@]}"; do
  dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  # A mirror caught mid-sync fails an index now and then: the install is tried again after a wait.
  for try in 1 2 3; do
    apt-get update -qq || true
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null &&
      break
    [ "$try" = 3 ] && exit 1
    sleep 60
  done
fi
