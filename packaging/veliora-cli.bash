# bash completion for veliora-cli                          -*- shell-script -*-
# Commands, subcommands and their options; file names for the options that take files
# (databases for --db, Access files for --mdb, folders for --home and --from).

_veliora_cli_options()
{
    case $1 in
        schema) echo --db --json ;;
        sql) echo --db --json --timeout ;;
        generate) echo --db --kinds --count --seed --lang --quality --timeout --json ;;
        check)
            echo --db --solution --answer --timeout --no-counterexample \
                --counterexample-budget --reveal --record --bulletin --number --json
            ;;
        "bulletin list") echo --db --json ;;
        "bulletin show") echo --db --name --json ;;
        "bulletin add") echo --db --name --number --question --answer --force ;;
        "bulletin delete") echo --db --name --number ;;
        "bulletin export") echo --db --name --layout --format --out ;;
        "bulletin import") echo --from --yes ;;
        "dictionary init") echo --db --yes ;;
        "dictionary show") echo --db --json ;;
        "dictionary set")
            echo --db --table --field --relation --lang --singular --plural --gender \
                --summable --forward --backward --forward-no-table --backward-no-table
            ;;
        "dictionary diagram") echo --db --out --json ;;
        "access convert") echo --mdb --out --json ;;
        "class create") echo --server --name --json ;;
        "class publish") echo --server --class --db --json ;;
        "class join") echo --server --class --student --json ;;
        "class sync") echo --json ;;
        "class results") echo --server --class --bulletin --json --csv ;;
    esac
}

_veliora_cli_subcommands()
{
    case $1 in
        bulletin) echo list show add delete export import ;;
        dictionary) echo init show set diagram ;;
        access) echo convert ;;
        class) echo create publish join sync results ;;
    esac
}

_veliora_cli()
{
    local cur prev words cword
    _init_completion || return

    # The values an option takes: files, or one of a few words.
    local values=""
    case $prev in
        --db) _filedir '@(db|sqlite|sqlite3|mdb|accdb)'; return ;;
        --mdb) _filedir '@(mdb|accdb)'; return ;;
        --home | --from) _filedir -d; return ;;
        --csv) _filedir csv; return ;;
        --out)
            case " ${words[*]} " in
                *" diagram "*) _filedir '@(png|svg)' ;;
                *" convert "*) _filedir db ;;
                *) _filedir ;;
            esac
            return
            ;;
        --layout) values="continuas separadas" ;;
        --format) values="txt html pdf" ;;
        --gender) values="m f" ;;
        --summable | --forward-no-table | --backward-no-table) values="yes no" ;;
        --quality) values="on off" ;;
        --lang) values="es va" ;;
        --kinds) values="1,2,3,4,5" ;;
        --timeout | --count | --seed | --number | --name | --question | --answer | \
            --solution | --table | --field | --relation | --singular | --plural | \
            --forward | --backward | --server | --class | --student | --bulletin | \
            --counterexample-budget)
            return
            ;;
    esac
    if [[ -n $values ]]; then
        COMPREPLY=($(compgen -W "$values" -- "$cur"))
        return
    fi

    # The command is the first word that is neither an option nor --home's folder; a
    # command with subcommands takes the word after it.
    local i command="" sub=""
    for ((i = 1; i < cword; i++)); do
        if [[ ${words[i]} == --home ]]; then
            ((i++))
        elif [[ ${words[i]} != -* ]]; then
            command=${words[i]}
            [[ -n $(_veliora_cli_subcommands "$command") ]] && ((i + 1 < cword)) &&
                sub=${words[i + 1]}
            break
        fi
    done

    if [[ -z $command ]]; then
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W '--home --help --version' -- "$cur"))
        else
            COMPREPLY=($(compgen -W 'schema sql generate check bulletin dictionary access
                class' -- "$cur"))
        fi
        return
    fi
    local subcommands
    subcommands=$(_veliora_cli_subcommands "$command")
    if [[ -n $subcommands && -z $sub ]]; then
        COMPREPLY=($(compgen -W "$subcommands" -- "$cur"))
        return
    fi
    local options
    options=$(_veliora_cli_options "$command${sub:+ $sub}")
    COMPREPLY=($(compgen -W "$options --help" -- "$cur"))
} &&
    complete -F _veliora_cli veliora-cli

# ex: filetype=sh
