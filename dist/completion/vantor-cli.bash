# bash completion for vantor-cli                            -*- shell-script -*-
#
# Commands, subcommands and options are read from "vantor-cli --help" of the
# very program being completed, each time: its usage lines are the one list
# of what the program accepts, so this file cannot fall behind it.
#
# Project names come from the settings file, not from "vantor-cli project
# list": that command sets up the program directory when it runs for the
# first time, and pressing Tab must never change anything.

# The usage forms without "vantor-cli ", one a line, continuation lines
# joined to theirs.
_vantor_cli_usage()
{
    LC_ALL=C.UTF-8 "$1" --help 2>/dev/null | awk '
        /^  vantor-cli / { if (form != "") print form; form = substr($0, 14); next }
        form != "" && /^    / { sub(/^ +/, " "); form = form $0; next }
        { if (form != "") print form; form = "" }
        END { if (form != "") print form }'
}

# Fills the caller's form_path, form_opts, form_pos and form_value from the
# usage forms: the literal command words, the options, the placeholders of
# the arguments ("?" before an optional one) and the value each option takes.
_vantor_cli_parse()
{
    local form raw tok path opts pos last n=0
    local -a toks
    while IFS= read -r form; do
        read -ra toks <<<"$form"
        path="" opts=" " pos="" last=""
        local inpath=1
        for raw in "${toks[@]}"; do
            if [[ $raw == "|" ]]; then
                last=""
                continue
            fi
            tok=${raw#"${raw%%[!\[(]*}"}
            tok=${tok%%[\])]*}
            [[ -z $tok || $tok == "..." ]] && continue
            if ((inpath)) && [[ $tok =~ ^[a-z][a-z0-9-]*$ ]]; then
                path+="${path:+ }$tok"
                continue
            fi
            inpath=0
            if [[ $tok == -* ]]; then
                opts+="$tok "
                last=$tok
                # "[--yes]": an option closed in its brackets takes no value.
                [[ $raw == *"]" || $raw == *")" || $raw == *"]..." ]] && last=""
            elif [[ -n $last ]]; then
                form_value["$n $last"]=$tok
                last=""
            elif [[ $raw == \[*\] ]]; then
                pos+="${pos:+ }?$tok"
            else
                pos+="${pos:+ }$tok"
            fi
        done
        form_path[n]=$path
        form_opts[n]=$opts
        form_pos[n]=$pos
        ((n++))
    done < <(_vantor_cli_usage "$1")
}

# The project names as "vantor-cli project list" gives them, from the
# sections of the settings file.
_vantor_cli_projects()
{
    local ini=${VANTOR_CONFIG_HOME:-${XDG_CONFIG_HOME:-${HOME:-.}/.config}}/Keldrum/Vantor/registry.ini
    local line name
    printf '%s\n' Standardprojekt
    [[ -r $ini ]] || return 0
    while IFS= read -r line; do
        line=${line%$'\r'}
        [[ $line == "[Software\\Keldrum\\Vantor\\"*"]" ]] || continue
        name=${line#"[Software\\Keldrum\\Vantor\\"}
        name=${name%"]"}
        [[ -n $name && $name != default && $name != *\\* ]] && printf '%s\n' "$name"
    done <"$ini"
}

# What a placeholder stands for: file, dir, project, a list of choices, or
# nothing we could offer.
_vantor_cli_kind()
{
    local path=$1 placeholder=$2
    case $placeholder in
    *"|"*) printf 'choices %s\n' "${placeholder//|/ }" ;;
    DATEI* | DAT) echo file ;;
    DIR) echo dir ;;
    PROJEKT) echo project ;;
    NAME) [[ $path == "project open" || $path == "project delete" ]] && echo project ;;
    TEXT) [[ $path == "datafile pack" ]] && echo file ;;
    esac
}

_vantor_cli_offer()
{
    local kind=$1 cur=$2 name
    case $kind in
    file)
        compopt -o filenames 2>/dev/null
        mapfile -t -O "${#COMPREPLY[@]}" COMPREPLY < <(compgen -f -- "$cur")
        ;;
    dir)
        compopt -o filenames 2>/dev/null
        mapfile -t -O "${#COMPREPLY[@]}" COMPREPLY < <(compgen -d -- "$cur")
        ;;
    project)
        # Names may hold blanks; bash quotes them as it quotes file names.
        compopt -o filenames 2>/dev/null
        while IFS= read -r name; do
            [[ $name == "$cur"* ]] && COMPREPLY+=("$name")
        done < <(_vantor_cli_projects)
        ;;
    choices\ *)
        mapfile -t -O "${#COMPREPLY[@]}" COMPREPLY < <(compgen -W "${kind#choices }" -- "$cur")
        ;;
    esac
}

_vantor_cli()
{
    local -a words form_path form_opts form_pos
    local -A form_value
    local cur cword
    if declare -F _get_comp_words_by_ref >/dev/null; then
        # Keeps "host:port" one word.
        _get_comp_words_by_ref -n := cur words cword
    else
        words=("${COMP_WORDS[@]}")
        cword=$COMP_CWORD
        cur=${words[cword]}
    fi
    COMPREPLY=()
    _vantor_cli_parse "${words[0]}"
    ((${#form_path[@]})) || return 0

    # What is typed so far: the command words, the count of arguments and
    # whether the word at the cursor is an option's value.
    local path="" npos=0 inpath=1 want="" wanted="" w j n
    for ((j = 1; j < cword; j++)); do
        w=${words[j]}
        if [[ -n $want ]]; then
            want=""
            continue
        fi
        if [[ $w == -* ]]; then
            for n in "${!form_path[@]}"; do
                if [[ ${form_path[n]} == "$path" && -n ${form_value["$n $w"]} ]]; then
                    want=$w
                    wanted=${form_value["$n $w"]}
                    break
                fi
            done
            continue
        fi
        if ((inpath)); then
            for n in "${!form_path[@]}"; do
                if [[ "${form_path[n]} " == "${path:+$path }$w "* ]]; then
                    path+="${path:+ }$w"
                    continue 2
                fi
            done
            inpath=0
        fi
        ((npos++))
    done

    # Typed with a quote or a backslash before a blank: compared unquoted.
    cur=${cur//\\ / }
    cur=${cur#[\"\']}

    if [[ -n $want ]]; then
        _vantor_cli_offer "$(_vantor_cli_kind "$path" "$wanted")" "$cur"
        return 0
    fi

    local -a candidates=()
    if [[ $cur == -* ]]; then
        for n in "${!form_path[@]}"; do
            [[ ${form_path[n]} == "$path" ]] && candidates+=(${form_opts[n]})
        done
        mapfile -t COMPREPLY < <(compgen -W "${candidates[*]}" -- "$cur")
        return 0
    fi

    local next
    if ((inpath)); then
        for n in "${!form_path[@]}"; do
            if [[ "${form_path[n]} " == "${path:+$path }"?* ]]; then
                next=${form_path[n]#"${path:+$path }"}
                next=${next%% *}
                [[ " ${candidates[*]} " == *" $next "* ]] || candidates+=("$next")
            fi
        done
        mapfile -t COMPREPLY < <(compgen -W "${candidates[*]}" -- "$cur")
    fi

    # The argument at the cursor; after an optional one it may also be the
    # next, since the optional one may have been left out.
    local -a placeholders
    local k optional kinds=" " kind
    for n in "${!form_path[@]}"; do
        [[ ${form_path[n]} == "$path" ]] || continue
        read -ra placeholders <<<"${form_pos[n]}"
        optional=0
        for ((k = 0; k < ${#placeholders[@]} && k <= npos + optional; k++)); do
            [[ ${placeholders[k]} == \?* ]] && ((k <= npos)) && optional=1
            ((k >= npos)) || continue
            kind=$(_vantor_cli_kind "$path" "${placeholders[k]#\?}")
            [[ -n $kind && $kinds != *" $kind "* ]] && kinds+="$kind "
        done
    done
    for kind in file dir project; do
        [[ $kinds == *" $kind "* ]] && _vantor_cli_offer "$kind" "$cur"
    done
    return 0
} &&
    complete -F _vantor_cli vantor-cli
