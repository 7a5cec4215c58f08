# bash completion for vorrinc: its options; after --into folders; after "@" file lists
# (*.flt) and the folders that may hold them; file names elsewhere. Needs bash alone.
_vorrinc()
{
    local cur=${COMP_WORDS[COMP_CWORD]}
    local prev=${COMP_WORDS[COMP_CWORD-1]:-}
    local before=${COMP_WORDS[COMP_CWORD-2]:-}
    COMPREPLY=()
    # bash splits words at "=" and "@": "--into=x" and "@x" come as pieces.
    if [[ $prev == = ]]; then
        prev=$before
    fi
    case $prev in
        --value)
            return ;;
        --into)
            mapfile -t COMPREPLY < <(compgen -d -- "$cur")
            return ;;
        @)
            mapfile -t COMPREPLY < <(compgen -d -- "$cur"; compgen -f -X '!*.flt' -- "$cur")
            return ;;
    esac
    case $cur in
        @*)
            mapfile -t COMPREPLY < <(compgen -P @ -d -- "${cur#@}"; compgen -P @ -f -X '!*.flt' -- "${cur#@}") ;;
        -?*)
            mapfile -t COMPREPLY < <(compgen -W '--value --into --overwrite --restore --recursive --quiet --help --version' -- "$cur") ;;
        *)
            mapfile -t COMPREPLY < <(compgen -f -- "$cur") ;;
    esac
}
complete -o filenames -F _vorrinc vorrinc vorrinc.exe
