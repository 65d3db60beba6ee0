#!/usr/bin/env bash
# Sets up, builds and runs the main job of Vantor!! on the bundled sample
# site: the project "Sonnenblume" (titles, description, terms for the
# homepage, two copies and four doorway pages) optimises a fresh copy of the
# site, and the command ends by naming what came out. The committed files are
# never changed. With a display, the report opens in the browser or, without
# one, in the program's own viewer.
set -euo pipefail
cd "$(dirname "$0")/.."
# Only what it runs (the program, the command line, the demo server), not the
# hundreds of test targets: tools/test.sh builds those in a directory of its own.
tools/setup.sh build -DVANTOR_TESTS=OFF

work="$(mktemp -d "${TMPDIR:-/tmp}/vantor-sample.XXXXXX")"
cp -r examples/site "$work/site"
# A settings store and program directory of its own, so a try-out never
# touches the user's real projects.
export VANTOR_CONFIG_HOME="$work/config"
export XDG_DATA_HOME="$work/data"
export VANTOR_DATA_DIR="$PWD/data"

cli=build/src/cli/vantor-cli
project=Sonnenblume
echo "== Beispiel-Web-Site: $work/site"
# "project new" sets the program up, registers the project and makes it
# current; the shipped project data then takes the place of the empty file,
# and every later command loads it from there.
"$cli" project new "$project" >/dev/null
cp "examples/$project.qx!" "$XDG_DATA_HOME/vantor/projects/$project.qx!"
"$cli" project homepage "$work/site/index.htm"

before="$(cd "$work/site" && ls -A)"
echo "== Optimierung (\"Web-Site Quick\") mit dem Projekt \"$project\""
status=0
"$cli" optimize --save-report "$work/Report.htm" || status=$?

echo "== Ergebnis"
report="$work/site/~report.htm"
echo "Report:          $report"
echo "Gespeicherter Report: $work/Report.htm"
echo "Homepage:        $work/site/index.htm"
new="$(cd "$work/site" && comm -13 <(printf '%s\n' "$before" | sort) <(ls -A | sort))"
copies=()
doorways=()
while IFS= read -r name; do
    [[ -z "$name" || "$name" == "~report.htm" ]] && continue
    if [[ -d "$work/site/$name" ]]; then
        doorways+=("$name")
    elif [[ "$name" == *.htm ]]; then
        copies+=("$name")
    fi
done <<<"$new"
echo "Kopien der Homepage (${#copies[@]}):"
for name in "${copies[@]}"; do echo "  $work/site/$name"; done
echo "Zugangsseiten (${#doorways[@]}):"
for name in "${doorways[@]}"; do
    echo "  $work/site/$name/"
done

if [[ "$status" -eq 0 && -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" && -x build/src/gui/vantor ]]; then
    # The browser if there is one, else the program's own viewer; the
    # command does not wait for either to close.
    nohup build/src/gui/vantor --view "$report" >/dev/null 2>&1 &
    echo "Der Report wird angezeigt. Das Programm selbst: build/src/gui/vantor"
fi
exit "$status"
