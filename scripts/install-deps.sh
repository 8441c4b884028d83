#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need, only those missing.
# This is the one list of the project's system dependencies.
set -euo pipefail

PACKAGES=(
  cmake g++ pkg-config ninja-build
  qt6-base-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-translations-l10n
  libxlsxwriter-dev
  libminizip-dev libexpat1-dev zlib1g-dev libinih-dev nettle-dev
  libcli11-dev nlohmann-json3-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format
  fonts-dejavu-core xvfb xauth locales
  python3 python3-xlwt python3-openpyxl
  poppler-utils libreoffice-calc-nogui
  hyperfine valgrind time
  dpkg-dev file lintian desktop-file-utils appstream man-db groff-base
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The operators' locale: tests check decimal commas under it.
if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO localedef -i ru_RU -f UTF-8 ru_RU.UTF-8 || echo "warning: could not generate ru_RU.UTF-8" >&2
fi
