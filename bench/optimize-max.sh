#!/usr/bin/env bash
# Times the command-line optimisation of a project with every list full
# (30 homepage, 135 copy and 150 doorway terms, scope 2, every option on, a
# 50 KB homepage and a 10 KB template) and, for scale, a plain `cp -r` of the
# site tree the run leaves behind. Best of RUNS (default 3) for each.
#   bench/optimize-max.sh [path/to/vantor-cli]
# BENCH_WRAP puts a command in front of the CLI, e.g.
#   BENCH_WRAP="strace -c -f -o /tmp/calls.txt" RUNS=1 bench/optimize-max.sh
set -euo pipefail
cd "$(dirname "$0")/.."
cli="$(realpath "${1:-build/src/cli/vantor-cli}")"
runs="${RUNS:-3}"

work="$(mktemp -d "${TMPDIR:-/tmp}/vantor-optbench.XXXXXX")"
trap 'rm -rf "$work"' EXIT
export VANTOR_CONFIG_HOME="$work/config"
export XDG_DATA_HOME="$work/data"
export VANTOR_DATA_DIR="$PWD/data"

mkdir -p "$work/pristine/vantor!!"
python3 - "$work/pristine" <<'PY'
import sys
site = sys.argv[1]
para = "<P>Frische Br\xf6tchen und Kuchen aus der Backstube, jeden Morgen ab sechs Uhr.</P>\r\n"
body = "".join(para for _ in range(50 * 1024 // len(para)))
page = ("<HTML>\r\n<HEAD>\r\n<TITLE>B\xe4ckerei</TITLE>\r\n</HEAD>\r\n<BODY>\r\n" + body +
        "</BODY>\r\n</HTML>\r\n")
open(site + "/index.htm", "wb").write(page.encode("cp1252"))
tbody = "".join(para for _ in range(10 * 1024 // len(para)))
template = ("<HTML>\r\n<HEAD>\r\n</HEAD>\r\n<BODY>\r\n<H2>%Suchbegriff%</H2>\r\n%Textbaustein1%\r\n" + tbody +
            "<P>%Beschreibung% - %Firma% - %SuchbegriffConverted%</P>\r\n</BODY>\r\n</HTML>\r\n")
open(site + "/vantor!!/index.htm", "wb").write(template.encode("cp1252"))
open(site + "/Textbausteine.txt", "wb").write(
    b"Textbaustein1=Unser Angebot\r\nTextbaustein1.Keyword=ALL\r\nTextbaustein1.IndexDoorway=1\r\n"
    b"Textbaustein1.KeywordDoorway=1\r\n")
PY
cp -r "$work/pristine" "$work/site"
"$cli" project homepage "$work/site/index.htm" >/dev/null
project="$(find "$work/data" -name 'default.qx!' | head -n 1)"
python3 - "$project" <<'PY'
import re, sys
path = sys.argv[1]
text = open(path, "rb").read().decode("cp1252")
values = {"scope": "2", "author": "Keldrum", "description": "Backwaren seit 1910",
          "title1": "Titel eins", "title2": "Titel zwei", "title3": "Titel drei", "makedirs": "1"}
for i in range(30):
    values[str(4000 + i)] = "Begriff %d" % i
for c in range(9):
    for i in range(15):
        values[str(4100 + c * 15 + i)] = "Kopie %d Begriff %d" % (c, i)
for i in range(1, 151):
    values[str(i)] = "Zugang %d" % i
section = None
out = []
for line in text.splitlines():
    m = re.match(r"\[(.*)\]", line)
    if m:
        section = m.group(1)
    elif "=" in line:
        key = line.split("=", 1)[0]
        if section == "config":
            line = key + "=" + ("0" if key == "sonz" else "3")
        elif key in values and section in ("homepage", "keywords", "doorways"):
            line = key + "=" + values[key]
    out.append(line)
open(path, "wb").write(("\r\n".join(out) + "\r\n").encode("cp1252"))
PY

best_run=""
best_copy=""
for _ in $(seq "$runs"); do
    rm -rf "$work/site" "$work/copy"
    cp -r "$work/pristine" "$work/site"
    start=$(date +%s%N)
    ${BENCH_WRAP:-} "$cli" optimize --yes >"$work/out.txt" 2>&1 || { cat "$work/out.txt"; exit 1; }
    run=$(( $(date +%s%N) - start ))
    start=$(date +%s%N)
    cp -r "$work/site" "$work/copy"
    copy=$(( $(date +%s%N) - start ))
    [[ -z "$best_run" || $run -lt $best_run ]] && best_run=$run
    [[ -z "$best_copy" || $copy -lt $best_copy ]] && best_copy=$copy
done
files=$(find "$work/site" -type f | wc -l)
size=$(du -sk "$work/site" | cut -f1)
echo "output tree: $files files, $size KB"
echo "optimize: $(( best_run / 1000000 )) ms"
echo "cp -r:    $(( best_copy / 1000000 )) ms"
awk -v a="$best_run" -v b="$best_copy" 'BEGIN { printf "ratio:    %.2f (target <= 1.5)\n", a / b }'
