#!/bin/bash
# Drives the bash completion of vantor-cli as bash does on Tab: words and
# cursor set, the function called, its answer read from COMPREPLY. Once on
# its own and once with the bash-completion package loaded, which splits the
# words differently.
#
#   completion-test.sh VANTOR-CLI COMPLETION-FILE
set -u
cli=$(realpath "$1")
completion=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

run_suite() {
    local with_package=$1
    bash --norc --noprofile -s "$cli" "$completion" "$work" "$with_package" <<'SUITE'
cli=$1 completion=$2 work=$3/$4 with_package=$4
failed=0
if [[ $with_package == yes ]]; then
    # shellcheck disable=SC1091
    source /usr/share/bash-completion/bash_completion
fi
source "$completion"
mkdir -p "$work/bin" "$work/site/unter" "$work/fresh"
ln -sf "$cli" "$work/bin/vantor-cli"
: >"$work/site/index.htm"
: >"$work/site/report.htm"
PATH=$work/bin:$PATH

# Completes the words given (the last one is the word at the cursor) and
# prints the answer sorted, one a line.
complete_words() {
    COMP_WORDS=("$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE="${COMP_WORDS[*]}"
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    _vantor_cli 2>/dev/null
    printf '%s\n' "${COMPREPLY[@]}" | sort
}

expect() {
    local want=$1
    shift
    local got
    got=$(complete_words "$@")
    if [[ $got != "$want" ]]; then
        echo "FAIL ($with_package): ${*@Q}"
        echo "  erwartet: ${want//$'\n'/ }"
        echo "  erhalten: ${got//$'\n'/ }"
        failed=1
    fi
}

# Completion offering at least these.
expect_some() {
    local want=$1
    shift
    local got word
    got=$(complete_words "$@")
    for word in $want; do
        if ! grep -qxF -- "$word" <<<"$got"; then
            echo "FAIL ($with_package): ${*@Q} ohne $word"
            failed=1
        fi
    done
}

# A settings world of our own, with one project beside the standard one.
export VANTOR_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
vantor-cli project new "Gärtnerei Sonnenblume" >/dev/null 2>&1 || { echo "FAIL: project new"; exit 1; }
vantor-cli project new Zweites >/dev/null 2>&1 || { echo "FAIL: project new"; exit 1; }

commands=$(printf '%s\n' config datafile feedback indexnow newsletter optimize position preview project ranks \
    research settings sitemap submit template undo version-check watchlist | sort)
expect "$commands" vantor-cli ""
expect "project" vantor-cli pro
expect "$(printf '%s\n' delete homepage info list new open show | sort)" vantor-cli project ""
expect "$(printf '%s\n' forget report export show | sort)" vantor-cli ranks ""
expect "--help" vantor-cli -
# Options of the command typed, continuation lines of the usage included.
expect_some "--current-options --keep-doorways" vantor-cli project new Neu --
expect "$(printf '%s\n' --before --yes)" vantor-cli ranks forget --
expect "$(printf '%s\n' --list-engines --list-terms)" vantor-cli position --domain www.example.de --list-
# Values: the choices the usage lists, and none after an option that takes
# its value as free text.
expect "$(printf '%s\n' 0 1 2)" vantor-cli watchlist add Wort --kind ""
expect "$(printf '%s\n' complete optimal start)" vantor-cli submit --url 127.0.0.1:8080 --mode ""
expect "$(printf '%s\n' complete optimal)" vantor-cli sitemap --mode ""
expect "" vantor-cli submit --email ""
# Files, directories and project names where the usage says so.
expect "$work/site/report.htm" vantor-cli ranks report "$work/site/rep"
expect "$work/site/unter" vantor-cli sitemap --out "$work/site/"
expect "$work/site/index.htm" vantor-cli optimize --homepage "$work/site/ind"
expect "$work/site/index.htm" vantor-cli position --term urlaub --html "$work/site/ind"
expect "$(printf '%s\n' 'Gärtnerei Sonnenblume' Standardprojekt Zweites | sort)" vantor-cli project open ""
expect "Gärtnerei Sonnenblume" vantor-cli project delete Gä
expect "Zweites" vantor-cli optimize --project Z
expect "Zweites" vantor-cli undo --list --project Z
expect_some "Standardprojekt Zweites" vantor-cli project homepage ""
expect "$work/site/index.htm" vantor-cli project homepage "$work/site/i"
expect "$work/site/index.htm" vantor-cli project homepage Zweites "$work/site/in"
expect "" vantor-cli research ""

# Tab never sets the program up: no settings and no program directory
# appear where there were none.
export VANTOR_CONFIG_HOME=$work/fresh/config XDG_DATA_HOME=$work/fresh/data
expect "Standardprojekt" vantor-cli project show ""
if [[ -e $work/fresh/config || -e $work/fresh/data ]]; then
    echo "FAIL ($with_package): die Vervollständigung hat das Programm eingerichtet"
    failed=1
fi
exit $failed
SUITE
}

run_suite no || failures=1
if [[ -r /usr/share/bash-completion/bash_completion ]]; then
    run_suite yes || failures=1
fi
exit $failures
