#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those missing; with --test also those that
# only the tests need (the browser test's Chromium, Node.js and npm, curl, clang for fuzzing, wine64
# for the Windows build's tests).
set -euo pipefail
pkgs=(build-essential cmake pkg-config libgtest-dev libgmock-dev libbenchmark-dev
      libcli11-dev libinih-dev libpng-dev libcpp-httplib-dev nlohmann-json3-dev
      libssl-dev libvips-dev liblcms2-dev g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix)
# The printer application: PAPPL (PDF pages come through libvips and its poppler).
pkgs+=(libpappl-dev)
if [ "${1:-}" = "--test" ]; then
  pkgs+=(clang libclang-rt-14-dev binutils curl time)
  # The Windows DLLs' tests: 64-bit Wine (32-bit Wine needs a foreign architecture).
  pkgs+=(wine64)
  # Browser test of the device-options pages: Debian's Chromium, Node.js and npm (an npm that
  # comes with an already installed Node.js is used as it is).
  pkgs+=(chromium nodejs)
  command -v npm >/dev/null 2>&1 || pkgs+=(npm)
  # The printer application's clients: ipptool, and CUPS for a real queue; a test picture.
  pkgs+=(cups-ipp-utils cups-daemon cups-client imagemagick)
fi
if [ -n "${RPHOTO_EXTRA_PKGS:-}" ]; then pkgs+=(${RPHOTO_EXTRA_PKGS}); fi
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "installing: ${missing[*]}"
SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
