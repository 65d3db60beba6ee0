#!/usr/bin/env bash
# Takes the screenshots of the AppStream metainfo from the real program:
# Vantor!! runs on a virtual display with the sample project "Sonnenblume",
# and the demo server stands in for the maker's server, the research
# services and the search engines, so that nothing leaves this machine.
# Usage: tools/make-screenshots.sh [BUILD_DIR]   (relative to the repository,
# default build; built there first if the three programs are missing)
# Needs Xvfb, openbox, xdotool and ImageMagick. Only dist/screenshots/
# changes; settings, projects and the site copy live in a temporary
# directory that goes at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
repo="$PWD"
build="${1:-build}"
started=$SECONDS

gui="$build/src/gui/vantor"
cli="$build/src/cli/vantor-cli"
server="$build/tools/demo-server/vantor-demo-server"
if [[ ! -x "$gui" || ! -x "$cli" || ! -x "$server" ]]; then
    cmake -S . -B "$build" -G Ninja -DVANTOR_TESTS=OFF >/dev/null
    cmake --build "$build" -j2 --target vantor vantor-cli vantor-demo-server
fi
gui="$(realpath "$gui")"
cli="$(realpath "$cli")"
server="$(realpath "$server")"

work="$(mktemp -d "${TMPDIR:-/tmp}/vantor-shots.XXXXXX")"
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# What the screen showed when something went wrong stays for a look.
fail() {
    echo "make-screenshots: $*" >&2
    if [[ -n "${DISPLAY:-}" ]] && import -window root "${TMPDIR:-/tmp}/vantor-shots-failed.png" 2>/dev/null; then
        echo "make-screenshots: Bildschirm / screen: ${TMPDIR:-/tmp}/vantor-shots-failed.png" >&2
    fi
    exit 1
}

# Waits until a condition holds, at most $1 tenths of a second.
poll() {
    local tenths="$1"
    shift
    local i
    for ((i = 0; i < tenths; i++)); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# --- a display of its own ---------------------------------------------------
# Xvfb picks a free display number itself and names it on the descriptor.
# 1024 lines, not 800: "Positionen ermitteln" asks for 823 pixels of height
# and would lose its lower end on a screen of 800.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
poll 100 test -s "$work/display" || fail "Xvfb startet nicht / does not start"
display="$(head -n1 "$work/display")"
export DISPLAY=":$display"
openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
# The window manager is there once it has claimed the screen.
poll 100 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' \
    || fail "openbox startet nicht / does not start"

# --- the sample project, as tools/run-sample.sh sets it up -------------------
cp -r examples/site "$work/site"
export VANTOR_CONFIG_HOME="$work/config"
export XDG_DATA_HOME="$work/data"
export VANTOR_DATA_DIR="$repo/data"
# German dates and umlauts whatever the caller's locale.
export LANG=C.UTF-8 LC_ALL=C.UTF-8

# A copy of the server's directory: the program's error reports go into
# its support.log, and the repository's copy stays as it is.
cp -r data/demo-server "$work/demo-server"
"$server" --port 0 --root "$work/demo-server" --site "$work/site" >"$work/server.log" 2>&1 &
pids+=($!)
poll 100 grep -qs 'http://127.0.0.1:[0-9]*/' "$work/server.log" || fail "Demo-Server startet nicht / does not start"
port="$(sed -n 's|.*http://127.0.0.1:\([0-9]*\)/ .*|\1|p' "$work/server.log" | head -n1)"

"$cli" project new Sonnenblume >/dev/null
cp "examples/Sonnenblume.qx!" "$XDG_DATA_HOME/vantor/projects/Sonnenblume.qx!"
"$cli" project homepage "$work/site/index.htm" >/dev/null
# No questions at the start: a user (not a developer), direct Internet
# access without the note before each connection, the demo server as the
# maker's server.
"$cli" settings set usertype 1 --number
"$cli" settings set accesstype 1 --number
"$cli" settings set httpinform 0 --number
for name in proxy proxyport proxyuser proxypassword; do
    "$cli" settings set "$name" ""
done
"$cli" settings set updateserver "127.0.0.1:$port"

# --- driving the program -----------------------------------------------------
# xdotool gives up with an X error when a window goes while it walks the
# tree: that is neither "found" nor "not there", so ask again.
visible() {
    local found
    found="$(xdotool search --onlyvisible --name "^$1\$" 2>&1)" || true
    if [[ "$found" == *Error* ]]; then
        echo error
    else
        echo "$found" | head -n1
    fi
}

# The visible window whose title matches exactly, once it is there.
window() {
    local i id
    for ((i = 0; i < 300; i++)); do
        id="$(visible "$1")"
        if [[ "$id" =~ ^[0-9]+$ ]]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    fail "Fenster / window \"$1\" erscheint nicht / does not appear"
}

gone() {
    [[ -z "$(visible "$1")" ]]
}

# Waits until the window has stopped changing: a blinking text cursor may
# come and go, everything else must stand still for a moment.
settle() {
    local id="$1" i same=0 diff
    import -window "$id" "$work/settle-a.png" 2>/dev/null
    for ((i = 0; i < 100; i++)); do
        sleep 0.3
        import -window "$id" "$work/settle-b.png" 2>/dev/null
        diff="$(compare -metric AE "$work/settle-a.png" "$work/settle-b.png" null: 2>&1 || true)"
        if [[ "$diff" =~ ^[0-9]+$ && "$diff" -lt 60 ]]; then
            ((++same >= 3)) && return 0
        else
            same=0
        fi
        mv "$work/settle-b.png" "$work/settle-a.png"
    done
    fail "Fenster $id kommt nicht zur Ruhe / does not settle"
}

focus() {
    xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1"
    sleep 0.2
}

out=dist/screenshots
mkdir -p "$out"
shoot() {
    local id="$1" file="$out/$2.png"
    settle "$id"
    # The client area only: the frame would show this window manager's
    # theme, not the program.
    import -window "$id" -strip -define png:exclude-chunks=date,time "$file"
    echo "$file ($(identify -format '%wx%h' "$file"))"
}

# The position check first: it keeps the site's address in the project,
# which the snippet preview of the site wizard shows later on.
"$gui" --position >"$work/position.log" 2>&1 &
positionPid=$!
pids+=("$positionPid")
position="$(window 'Positionen ermitteln')"
focus "$position"
xdotool key ctrl+a
xdotool type --delay 20 www.gaertnerei-sonnenblume.example
xdotool key Return
list="$(window 'Anmelde-Liste')"
focus "$list"
# The demo server's fourth engine never answers; it stays out of the
# picture. Backwards from "Starten": the engines' "Entfernen", the engine
# list, its last entry; then "Entfernen". The focus falls to the field for
# a new term, where Enter means the default button "Starten".
xdotool key shift+Tab shift+Tab End Tab space
sleep 0.3
xdotool key Return
poll 100 gone 'Anmelde-Liste' || fail "Anmelde-Liste bleibt offen / stays open"
ranks="$XDG_DATA_HOME/vantor/projects/Sonnenblume.ranks.sqlite"
poll 600 test -s "$ranks" || fail "Die Positionsprüfung endet nicht / does not end"
# Wider and taller, so that the report lines show whole and more of them;
# the report list takes the height. The wheel brings its first lines back,
# without selecting one.
xdotool windowsize --sync "$position" 960 880
settle "$position"
xdotool mousemove --window "$position" 480 750 click --repeat 40 --delay 20 4
xdotool mousemove 0 0
shoot "$position" 4-positionen
# Closing the dialog ends this instance; the next one must not find it
# still holding the settings.
xdotool key Escape
poll 100 gone 'Positionen ermitteln' || fail "Positionen ermitteln bleibt offen / stays open"
wait "$positionPid" || true
running=()
for pid in "${pids[@]}"; do
    [[ "$pid" == "$positionPid" ]] || running+=("$pid")
done
pids=("${running[@]}")

# The main program with the sample project as the current one.
"$gui" >"$work/gui.log" 2>&1 &
pids+=($!)
main="$(window 'Vantor!!')"
focus "$main"

# The wizard menu: "Wizard" has the focus in the main window.
xdotool key space
menu="$(window 'Vantor!! Wizard')"
focus "$menu"
shoot "$menu" 1-wizard

# "Recherche" comes first in the menu; the dialog opens with the focus in
# the field for the term, and Enter starts the research.
xdotool key space
research="$(window 'Recherche')"
focus "$research"
# A little larger than it opens: at its first size the buttons under the
# lists cover their last rows.
xdotool windowsize --sync "$research" 760 620
xdotool type --delay 30 urlaub
xdotool key Return
shoot "$research" 3-recherche
xdotool key Escape
poll 100 gone 'Recherche' || fail "Recherche bleibt offen / stays open"

# "Web-Site", two further down in the menu: the open-file dialog stands at
# the project's homepage, a note before it for users who are no developers.
focus "$menu"
xdotool key Tab Tab space
note="$(window 'Homepage öffnen')"
focus "$note"
xdotool key Return
files="$(window 'Homepage öffnen \(Startseite der Web-Site\)')"
focus "$files"
# Enter takes the preselected file only once the dialog has read the folder.
settle "$files"
xdotool key Return
titles="$(window 'Web-Site: Titel, Autor und Beschreibung')"
focus "$titles"
# The first title comes selected; End shows it as it is typed.
xdotool key End
shoot "$titles" 2-titel

echo "Fertig / done: $((SECONDS - started)) s"
