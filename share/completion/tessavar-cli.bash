# Bash completion for tessavar-cli. The commands, their options, what each
# option takes and the values of the named options come from the program
# itself (tessavar-cli completion-words), so a new command or option needs
# no change here.
_tessavar_cli() {
  local program=${COMP_WORDS[0]} cur=${COMP_WORDS[COMP_CWORD]}
  local prev=${COMP_WORDS[COMP_CWORD-1]} option="" sub="" line kind i
  local IFS=$'\n'
  local -a table fields
  COMPREPLY=()
  table=($("$program" completion-words 2>/dev/null)) || return
  for ((i = 1; i < COMP_CWORD; i++)); do
    if [[ ${COMP_WORDS[i]} != -* && ${COMP_WORDS[i]} != = ]]; then
      sub=${COMP_WORDS[i]}
      break
    fi
  done
  if [[ -z $sub ]]; then
    local -a names=(--help --version)
    for line in "${table[@]}"; do
      [[ $line == *$'\t\tcommand' ]] && names+=("${line%%$'\t'*}")
    done
    COMPREPLY=($(compgen -W "${names[*]}" -- "$cur"))
    return
  fi
  # --option=value: bash splits the word at '='.
  if [[ $cur == = ]]; then
    option=$prev
    cur=
  elif [[ $prev == = ]]; then
    option=${COMP_WORDS[COMP_CWORD-2]}
  elif [[ $prev == -* ]]; then
    option=$prev
  fi
  kind=file
  if [[ $option == -* ]]; then
    for line in "${table[@]}"; do
      IFS=$'\t' read -r -a fields <<<"$line"
      if [[ ${fields[0]} == "$sub" && ${fields[1]} == "$option" ]]; then
        kind=${fields[2]}
        break
      fi
    done
  elif [[ $cur == -* ]]; then
    kind=options
  fi
  case $kind in
    file | flag)
      compopt -o filenames
      COMPREPLY=($(compgen -f -- "$cur")) ;;
    dir)
      compopt -o filenames
      COMPREPLY=($(compgen -d -- "$cur")) ;;
    words)
      # The word as typed, without its backslashes and opening quote.
      local word bare=${cur//\\/}
      bare=${bare#[\'\"]}
      for word in "${fields[@]:3}"; do
        [[ $word == "$bare"* ]] && COMPREPLY+=("$(printf '%q' "$word")")
      done ;;
    setting)
      compopt -o nospace
      COMPREPLY=($(compgen -S = -W "$("$program" fields 2>/dev/null |
        cut -d' ' -f1)" -- "$cur")) ;;
    options)
      local -a options=(--help)
      for line in "${table[@]}"; do
        IFS=$'\t' read -r -a fields <<<"$line"
        [[ ${fields[0]} == "$sub" && -n ${fields[1]} ]] &&
          options+=("${fields[1]}")
      done
      COMPREPLY=($(compgen -W "${options[*]}" -- "$cur")) ;;
  esac
}
complete -F _tessavar_cli tessavar-cli
