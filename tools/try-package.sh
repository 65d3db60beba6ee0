#!/usr/bin/env bash
# Installs the Debian package as a user would (apt-get install ./...deb, as
# root), runs the installed programs without setting anything, and removes
# the package again. Nothing of the package may stay behind, and the user's
# own data must.
#   tools/try-package.sh DEB
set -euo pipefail
cd "$(dirname "$0")/.."
repo="$PWD"
deb="$(realpath "$1")"
if [[ $(id -u) -ne 0 ]]; then
    echo "Bitte als root ausführen (apt-get install $deb)" >&2
    exit 1
fi

work="$(mktemp -d)"
installed=0
cleanup() {
    # A check that failed half-way does not leave the package behind.
    if ((installed)); then
        DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq vantor >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
cp -r examples/site "$work/site"
cp examples/Sonnenblume.qx! "$work/"

echo "== apt-get install $deb"
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null
installed=1
dpkg -L vantor | sort >"$work/files"

# What a user does, with nothing but a home directory and the usual PATH.
cat >"$work/steps.sh" <<'STEPS'
set -euo pipefail
work="$1"
as_user() { env -i HOME="$work/home" PATH=/usr/bin:/bin LANG=C.UTF-8 "$@"; }
mkdir -p "$work/home"

echo "== vantor-cli --help, vantor --version"
help="$(as_user vantor-cli --help)"
printf '%s\n' "$help" | sed -n 1,2p
as_user vantor --version
echo "== man -l"
for page in vantor vantor-cli vantor-demo-server; do
    file="/usr/share/man/man1/$page.1.gz"
    out="$(as_user MANWIDTH=80 man -l "$file" 2>&1)"
    [[ -n "$out" ]] || { echo "$file: leer" >&2; exit 1; }
    printf '%s\n' "$out" | sed -n 4,5p
done

echo "== Optimierung der Beispiel-Site"
as_user vantor-cli project new Sonnenblume >/dev/null
cp "$work/Sonnenblume.qx!" "$work/home/.local/share/vantor/projects/Sonnenblume.qx!"
as_user vantor-cli project homepage "$work/site/index.htm"
out="$(as_user vantor-cli optimize)"
printf '%s\n' "$out" | tail -n 2
[[ -s "$work/site/~report.htm" ]] || { echo "~report.htm fehlt" >&2; exit 1; }

echo "== vantor-demo-server und Recherche"
# The installed server hands out the installed data files; the installed
# program fetches one and researches against the server's services.
port=$((20000 + RANDOM % 20000))
as_user vantor-demo-server --port "$port" >"$work/server.log" 2>&1 &
server=$!
trap 'kill $server 2>/dev/null || true' EXIT
as_user vantor-cli settings set updateserver "127.0.0.1:$port" >/dev/null
as_user vantor-cli settings set httpinform 0 --number >/dev/null
for _ in $(seq 50); do
    grep -q "http://127.0.0.1:$port/" "$work/server.log" && break
    sleep 0.1
done
as_user vantor-cli version-check
as_user vantor-cli research urlaub >"$work/research.txt" \
    || { cat "$work/research.txt" "$work/server.log" >&2; exit 1; }
sed -n 1,3p "$work/research.txt"
STEPS

# The source tree and its build directories are hidden while the installed
# programs run, so that they can only find what the package installed.
if unshare --mount true 2>/dev/null; then
    unshare --mount bash -c "mount -t tmpfs none '$repo' && cd / && bash '$work/steps.sh' '$work'"
else
    echo "(unshare nicht möglich: der Quellbaum bleibt sichtbar)"
    (cd / && bash "$work/steps.sh" "$work")
fi

echo "== apt-get remove vantor"
DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq vantor >/dev/null
installed=0
left=0
while IFS= read -r path; do
    # Directories the package shares with others (/usr/share, ...) stay.
    if [[ -e "$path" && ! -d "$path" ]]; then
        echo "geblieben: $path" >&2
        left=1
    fi
done <"$work/files"
for dir in /usr/share/vantor /usr/share/vantor-demo-server /usr/share/doc/vantor; do
    [[ -e "$dir" ]] && { echo "geblieben: $dir" >&2; left=1; }
done
[[ -s "$work/home/.local/share/vantor/projects/Sonnenblume.qx!" && -s "$work/site/~report.htm" ]] \
    || { echo "Daten des Benutzers fehlen nach dem Entfernen" >&2; left=1; }
((left == 0)) && echo "Paket entfernt, nichts geblieben; Projekte und Site des Benutzers unverändert"
exit "$left"
