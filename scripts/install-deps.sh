#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, only those still missing.
set -euo pipefail
pkgs=(build-essential cmake ninja-build libgtest-dev qt6-base-dev qt6-translations-l10n fonts-dejavu-core poppler-utils clang-format)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
