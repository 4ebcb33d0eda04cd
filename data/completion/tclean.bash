# Bash completion of tclean: its commands, then each command's options; tree
# also completes a folder, --plan a file, and the options that take a number
# complete none.
_tclean()
{
    local cur prev command i
    cur="${COMP_WORDS[COMP_CWORD]}"
    prev=""
    [ "$COMP_CWORD" -gt 0 ] && prev="${COMP_WORDS[COMP_CWORD - 1]}"
    COMPREPLY=()

    command=""
    for ((i = 1; i < COMP_CWORD; i++)); do
        case "${COMP_WORDS[i]}" in
            -*) ;;
            *)
                command="${COMP_WORDS[i]}"
                break
                ;;
        esac
    done

    if [ -z "$command" ]; then
        COMPREPLY=($(compgen -W "overview scan tree dupes names big types clean restore procs version" -- "$cur"))
        return 0
    fi

    case "$prev" in
        --min | -d | --depth | -n) return 0 ;;
        --plan)
            COMPREPLY=($(compgen -f -- "$cur"))
            compopt -o filenames 2>/dev/null
            return 0
            ;;
    esac

    local options=""
    case "$command" in
        scan) options="--json --min --plan" ;;
        tree) options="-d" ;;
        dupes) options="-n" ;;
        big) options="--min" ;;
        clean) options="--safe --dry-run --yes --min --plan" ;;
        restore) options="last --yes --beside" ;;
    esac
    if [ "$command" = tree ] && [[ "$cur" != -* ]]; then
        COMPREPLY=($(compgen -d -- "$cur"))
        compopt -o filenames 2>/dev/null
        return 0
    fi
    COMPREPLY=($(compgen -W "$options" -- "$cur"))
    return 0
}
complete -F _tclean tclean
