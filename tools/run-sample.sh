#!/usr/bin/env bash
# Sets up, builds and runs Vantor!! on the bundled sample site. The sample is
# copied first, so the committed files are never changed. With a display the
# GUI starts; headless, the command line works on the copy.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh build

work="$(mktemp -d "${TMPDIR:-/tmp}/vantor-sample.XXXXXX")"
cp -r examples/site "$work/site"
# A settings store and program directory of its own, so a try-out never
# touches the user's real projects.
export VANTOR_CONFIG_HOME="$work/config"
export XDG_DATA_HOME="$work/data"
export VANTOR_DATA_DIR="$PWD/data"

if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" && -x build/src/gui/vantor ]]; then
    build/src/cli/vantor-cli project homepage "$work/site/index.htm" >/dev/null
    exec build/src/gui/vantor
fi

cli=build/src/cli/vantor-cli
echo "== Beispiel-Web-Site: $work/site"
"$cli" project homepage "$work/site/index.htm"
echo "== Optimierung (\"Web-Site Quick\")"
status=0
"$cli" optimize --save-report "$work/Report.htm" || status=$?
echo "== Ergebnis"
ls -la "$work/site"
echo "Gespeicherter Report: $work/Report.htm"
# Warnings about missing search terms are expected for the bare sample; an
# error or an aborted run is not.
exit "$status"
