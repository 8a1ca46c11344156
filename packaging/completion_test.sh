#!/bin/bash
# The bash completion of trovik-cli against the built program: every command of --help, a
# command's options, type keys of the right list, listed option values and file names.
# Usage: completion_test.sh COMPLETION_FILE TROVIK_CLI
set -u
bash_completion=/usr/share/bash-completion/bash_completion
if [ ! -r "$bash_completion" ]; then
    echo "bash-completion is not installed: skipped"
    exit 77
fi
. "$bash_completion"
. "$1"
cli=$2
failures=0

# Completes the words of a command line whose last word is being typed.
complete_line() {
    COMP_WORDS=("$cli" "$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE="${COMP_WORDS[*]}"
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    _trovik_cli
    printf '%s\n' "${COMPREPLY[@]}"
}

expect() {  # expect "DESCRIPTION" WANTED_WORD OFFERED_WORDS
    if ! grep -qx -- "$2" <<<"$3"; then
        echo "FAIL: $1: '$2' not offered; offered: $(echo $3)"
        failures=$((failures + 1))
    fi
}
expect_not() {
    if grep -qx -- "$2" <<<"$3"; then
        echo "FAIL: $1: '$2' offered"
        failures=$((failures + 1))
    fi
}

commands=$(complete_line "")
for c in $("$cli" --help | sed -n '/^Commands:/,/^$/s/^  \([a-z][a-z0-9-]*\) .*/\1/p'); do
    expect "commands" "$c" "$commands"
done
expect "commands" convert "$(complete_line con)"
expect "options" --out-q "$(complete_line convert --from 1 --o)"
expect "options" --guard "$(complete_line append --g)"
expect "options" --no-load "$(complete_line visa --)"
load_key=$("$cli" types | awk '$1 == "load" { print $3; exit }')
save_key=$("$cli" types | awk '$1 == "save" && $2 == 0 { print $3 }')
expect "load keys" "$load_key" "$(complete_line info --from "")"
expect "save keys" "$save_key" "$(complete_line convert --to "")"
expect "save keys after =" "$save_key" "$(complete_line convert --to="")"
load_only=$(comm -23 <("$cli" types | awk '$1 == "load" { print $3 }' | sort -u) \
                     <("$cli" types | awk '$1 == "save" { print $3 }' | sort -u) | head -n 1)
expect_not "a load-only key for --to" "$load_only" "$(complete_line convert --to "")"
expect "a load-only key for --from" "$load_only" "$(complete_line info --from "")"
views=$(complete_line spectrum --view "")
for v in spectrum phase iq; do expect "views" "$v" "$views"; done
expect "connect-to" 1 "$(complete_line serve --connect-to "")"
expect "no words for a number" "" "$(complete_line convert --rate "" | head -n 1)"
dir=$(mktemp -d)
touch "$dir/capture.asc"
expect "file names" "$dir/capture.asc" "$(complete_line info --from 1 --in "$dir/cap")"
rm -rf "$dir"
[ "$failures" = 0 ] && echo "completion offers what trovik-cli has"
exit "$failures"
