#!/usr/bin/env bash
# Installs what the build needs on Debian 12 (run as root) and builds.
# Usage: tools/setup.sh BUILD_DIR [extra cmake arguments]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
shift || true

packages=(build-essential cmake ninja-build pkg-config qt6-base-dev libcurl4-openssl-dev zlib1g-dev
          libcpp-httplib-dev libgtest-dev libbenchmark-dev xdg-utils qt6-translations-l10n
          libxml2-dev mythes-de wngerman libsqlite3-dev fonts-liberation2
          lintian desktop-file-utils appstream man-db)
missing=()
for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if ((${#missing[@]})); then
    if [[ $(id -u) -ne 0 ]]; then
        echo "Bitte als root ausführen (apt-get install ${missing[*]})" >&2
        exit 1
    fi
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$build" -j2
