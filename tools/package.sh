#!/usr/bin/env bash
# Builds the Debian package of Vantor!! and checks it the way Debian would:
# lintian without errors, the desktop entry and the AppStream data valid.
#   tools/package.sh [BUILD_DIR]        sets up, builds, packs, checks
#   tools/package.sh --try DEB          (as root) installs the package with
#                                       apt-get, runs the installed programs
#                                       on a fresh copy of the sample site and
#                                       removes the package again
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ "${1:-}" == "--try" ]]; then
    exec bash tools/try-package.sh "${2:?Paketdatei fehlt}"
fi

build="${1:-build-deb}"
if [[ ! -f "$build/CMakeCache.txt" ]]; then
    # A package needs only the programs, not the tests.
    tools/setup.sh "$build" -DVANTOR_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr
else
    tools/setup.sh "$build"
fi

rm -f "$build"/vantor_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb="$(ls "$build"/vantor_*_*.deb)"
echo "== Paket: $deb"
dpkg-deb --field "$deb" Package Version Depends Recommends Section

echo "== lintian"
# Errors fail the build; warnings are printed for the developer to judge.
lintian --fail-on error --tag-display-limit 0 "$deb"

root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
echo "== desktop-file-validate"
desktop-file-validate "$root/usr/share/applications/de.keldrum.Vantor.desktop"
echo "== appstreamcli validate --no-net"
appstreamcli validate --no-net "$root/usr/share/metainfo/de.keldrum.Vantor.metainfo.xml"
echo "Paket in Ordnung: $deb"
