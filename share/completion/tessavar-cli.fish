# Fish completion for tessavar-cli; the commands, options and values come
# from the program itself (tessavar-cli completion-words).
function __tessavar_cli_complete
    set -l tokens (commandline -opc)
    set -l cur (commandline -ct)
    set -l program $tokens[1]
    set -l table ($program completion-words 2>/dev/null)
    set -l sub
    for token in $tokens[2..-1]
        if not string match -q -- '-*' $token
            set sub $token
            break
        end
    end
    if test -z "$sub"
        for line in $table
            set -l fields (string split \t -- $line)
            test "$fields[3]" = command; and echo $fields[1]
        end
        printf '%s\n' --help --version
        return
    end
    set -l option
    set -l prefix
    if string match -qr -- '^--[^=]+=' $cur
        set option (string replace -r '=.*' '' -- $cur)
        set prefix "$option="
        set cur (string replace -r '^[^=]*=' '' -- $cur)
    else if string match -q -- '-*' $tokens[-1]
        set option $tokens[-1]
    end
    if test -n "$option"
        for line in $table
            set -l fields (string split \t -- $line)
            test "$fields[1]" = "$sub" -a "$fields[2]" = "$option"; or continue
            switch $fields[3]
                case file
                    __fish_complete_path $cur | string replace -r -- '^' $prefix
                    return
                case dir
                    __fish_complete_directories $cur | string replace -r -- '^' $prefix
                    return
                case words
                    printf "$prefix%s\n" $fields[4..-1]
                    return
                case setting
                    $program fields 2>/dev/null | string replace -r ' .*' '='
                    return
                case value
                    return
            end
        end
    end
    if string match -q -- '-*' $cur
        echo --help
        for line in $table
            set -l fields (string split \t -- $line)
            test "$fields[1]" = "$sub" -a -n "$fields[2]"; and echo $fields[2]
        end
        return
    end
    __fish_complete_path $cur
end
complete -c tessavar-cli -f -a '(__tessavar_cli_complete)'
