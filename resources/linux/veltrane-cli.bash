# bash completion for veltrane-cli. Commands and options are read from the program's own --help,
# so they follow the installed version.

_veltrane_cli() {
    local cur prev words cword
    _init_completion || return

    if ((cword == 1)); then
        local commands
        commands=$("$1" --help 2>/dev/null | awk '/^commands:/ { listed = 1; next } listed && /^  [a-z]/ { print $1 }')
        COMPREPLY=($(compgen -W "$commands --help" -- "$cur"))
        return
    fi
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$(_parse_help "$1" "${words[1]} --help" | sort -u)" -- "$cur"))
        [[ ${COMPREPLY-} == *= ]] && compopt -o nospace
        return
    fi
    # Project files, workbooks, state files and serial devices: everything else is a path.
    _filedir
} &&
    complete -F _veltrane_cli veltrane-cli
