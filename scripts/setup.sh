#!/usr/bin/env bash
# Installs, from Debian 12 packages, whatever the build and the tests need and
# is not there yet. Quiet when everything is installed; safe to run again.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  googletest libgtest-dev libgmock-dev
  zlib1g-dev libdeflate-dev libzip-dev libpugixml-dev libgumbo-dev
  libreoffice-writer-nogui
  libfreetype-dev libfontconfig-dev fonts-dejavu-core fonts-dejavu-extra fonts-wqy-zenhei fonts-ipafont-gothic xfonts-base
  libuchardet-dev
  qt6-base-dev qt6-svg-dev
  clang libclang-rt-14-dev
  default-jdk-headless ecj proguard-cli
  libmagickwand-6.q16-dev imagemagick-6.q16 fonts-urw-base35
  zip unzip python3 pandoc
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
