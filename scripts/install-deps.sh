#!/bin/sh
# Installs every Debian package that building, testing and running Ormena needs.
# Safe to run again: apt-get skips what is already installed.
set -eu

PACKAGES="
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev libxkbcommon-dev
  qt6-qpa-plugins qt6-translations-l10n
  libsqlite3-dev sqlite3
  libgtest-dev libgmock-dev libbenchmark-dev
  libreoffice-writer libreoffice-dev libreoffice-l10n-ru
  xvfb xauth x11-utils fonts-dejavu-core fonts-liberation
  adwaita-icon-theme hicolor-icon-theme
  dpkg-dev file
"

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
# shellcheck disable=SC2086
$SUDO apt-get install -y -q --no-install-recommends $PACKAGES
