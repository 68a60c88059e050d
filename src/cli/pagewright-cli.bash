# bash completion for pagewright-cli
#
# The subcommands, their options and what each option or argument takes are read from the
# usage that `pagewright-cli --help` prints (once per shell), so the completion offers
# exactly what the installed tool accepts. The placeholders of the usage say what to offer:
# FILE and IN catalogues (.pk2, .pkd), OUT a .pk2 file, X.csv, X.pdf and the like files of that extension,
# FOLDER and DIR folders, 1..8 the numbers, and a|b|c the listed values.

declare -g _pagewright_cli_synopsis=""
declare -gA _pagewright_cli_usage=()
declare -ga _pagewright_cli_commands=()

_pagewright_cli_read_usage() {
    local line name
    while IFS= read -r line; do
        if [[ $line == "usage: pagewright-cli "* ]]; then
            _pagewright_cli_synopsis=${line#usage: pagewright-cli }
        elif [[ $line =~ ^\ \ pagewright-cli\ ([^ ]+)\ (.*)$ ]]; then
            name=${BASH_REMATCH[1]}
            _pagewright_cli_commands+=("$name")
            _pagewright_cli_usage[$name]=${BASH_REMATCH[2]}
        fi
    done < <("${1:-pagewright-cli}" --help 2>/dev/null)
}

# Splits a usage text into the options (with the placeholder of their value, empty for a
# switch) and the placeholders of the plain arguments, in order.
_pagewright_cli_parse() {
    local text=$1 token next i alternative
    local -a tokens
    text=${text//[\[\]()]/ }
    read -r -a tokens <<<"$text"
    for ((i = 0; i < ${#tokens[@]}; i++)); do
        token=${tokens[i]}
        [[ $token == "|" ]] && continue
        if [[ $token == -* ]]; then
            next=${tokens[i + 1]-}
            if [[ $token == *"|"* ]]; then
                for alternative in ${token//|/ }; do
                    _pw_options[$alternative]=""
                done
            elif [[ -n $next && $next != -* && $next != "|" ]]; then
                _pw_options[$token]=$next
                ((i++))
            else
                _pw_options[$token]=""
            fi
        else
            _pw_arguments+=("$token")
        fi
    done
}

# Offers what the placeholder $1 stands for, completing the word $2.
_pagewright_cli_offer() {
    local placeholder=$1 cur=$2 extensions="" part f
    local -a values
    case $placeholder in
    FILE | IN) extensions="pk2|pkd" ;;
    OUT) extensions="pk2" ;;
    FOLDER | DIR)
        compopt -o filenames 2>/dev/null
        mapfile -t COMPREPLY < <(compgen -d -- "$cur")
        return
        ;;
    [0-9]*..[0-9]*)
        mapfile -t COMPREPLY < <(compgen -W "$(seq "${placeholder%%..*}" "${placeholder##*..}")" -- "$cur")
        return
        ;;
    *.*)
        for part in ${placeholder//|/ }; do
            extensions+="${extensions:+|}${part##*.}"
        done
        # A base name of pictures (BASE.jpg) may take any extension.
        [[ $placeholder == BASE.* ]] && extensions=""
        ;;
    *"|"*)
        for part in ${placeholder//|/ }; do
            part=${part//\'/}
            values+=("$part")
        done
        mapfile -t COMPREPLY < <(compgen -W "${values[*]}" -- "$cur")
        return
        ;;
    *) return ;;
    esac
    compopt -o filenames 2>/dev/null
    COMPREPLY=()
    while IFS= read -r f; do
        if [[ -d $f || -z $extensions || ${f,,} =~ \.($extensions)$ ]]; then
            COMPREPLY+=("$f")
        fi
    done < <(compgen -f -- "$cur")
}

_pagewright_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local word command="" i argument=0
    local -A _pw_options=() _pw_global=()
    local -a _pw_arguments=()
    COMPREPLY=()
    ((${#_pagewright_cli_commands[@]})) || _pagewright_cli_read_usage "${COMP_WORDS[0]}"

    _pagewright_cli_parse "$_pagewright_cli_synopsis"
    for word in "${!_pw_options[@]}"; do
        _pw_global[$word]=${_pw_options[$word]}
    done

    # The subcommand is the first word that is neither a global option nor its value.
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        if [[ -v _pw_global[$word] ]]; then
            [[ -n ${_pw_global[$word]} ]] && ((i++))
        elif [[ $word != -* ]]; then
            command=$word
            break
        fi
    done

    if [[ -n $prev && -n ${_pw_global[$prev]-} ]]; then
        _pagewright_cli_offer "${_pw_global[$prev]}" "$cur"
        return
    fi
    if [[ -z $command ]]; then
        if [[ $cur == -* ]]; then
            mapfile -t COMPREPLY < <(compgen -W "${!_pw_global[*]} --help --version" -- "$cur")
        else
            mapfile -t COMPREPLY < <(compgen -W "${_pagewright_cli_commands[*]}" -- "$cur")
        fi
        return
    fi
    [[ -v _pagewright_cli_usage[$command] ]] || return

    _pw_options=()
    _pw_arguments=()
    _pagewright_cli_parse "${_pagewright_cli_usage[$command]}"
    if [[ -n $prev && -n ${_pw_options[$prev]-} ]]; then
        _pagewright_cli_offer "${_pw_options[$prev]}" "$cur"
        return
    fi
    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "${!_pw_options[*]} ${!_pw_global[*]} --help" -- "$cur")
        return
    fi

    # Which plain argument is being typed: count those before it, skipping options and
    # their values.
    for ((i++; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        if [[ -v _pw_options[$word] ]]; then
            [[ -n ${_pw_options[$word]} ]] && ((i++))
        elif [[ -v _pw_global[$word] ]]; then
            [[ -n ${_pw_global[$word]} ]] && ((i++))
        elif [[ $word != -* ]]; then
            ((argument++))
        fi
    done
    if ((argument < ${#_pw_arguments[@]})); then
        _pagewright_cli_offer "${_pw_arguments[argument]}" "$cur"
    elif [[ ${_pw_arguments[-1]-} == *... ]]; then
        _pagewright_cli_offer "${_pw_arguments[-1]%...}" "$cur"
    fi
}

complete -F _pagewright_cli pagewright-cli
