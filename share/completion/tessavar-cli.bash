# Bash completion for tessavar-cli: commands, options and setting names.
_tessavar_cli() {
  local cur prev command
  cur=${COMP_WORDS[COMP_CWORD]}
  prev=${COMP_WORDS[COMP_CWORD-1]}
  command=${COMP_WORDS[1]}
  if [[ $COMP_CWORD -eq 1 ]]; then
    COMPREPLY=($(compgen -W "compose show fields info redo render roll
      --help --version" -- "$cur"))
    return
  fi
  case $prev in
    --set)
      COMPREPLY=($(compgen -S = -W "$(tessavar-cli fields 2>/dev/null |
        cut -d' ' -f1)" -- "$cur"))
      compopt -o nospace
      return ;;
    -o|--output|--save-composition|--soundfont)
      COMPREPLY=($(compgen -f -- "$cur"))
      return ;;
    --stems)
      COMPREPLY=($(compgen -d -- "$cur"))
      return ;;
    --format)
      COMPREPLY=($(compgen -W "wav flac ogg mp3 opus" -- "$cur"))
      return ;;
  esac
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$(tessavar-cli "$command" --help 2>/dev/null |
      grep -o -- '--\?-[a-z][a-z-]*' | sort -u)" -- "$cur"))
    return
  fi
  COMPREPLY=($(compgen -f -- "$cur"))
}
complete -F _tessavar_cli tessavar-cli
