#!/bin/sh
# The manual pages render without a warning from man and groff, lexgrog finds their NAME
# line, and trovik-cli(1) describes every command and option that trovik-cli's help lists.
# Usage: check_man.sh TROVIK_CLI PAGE...
set -u
cli=$1
shift
if ! command -v man >/dev/null || ! command -v lexgrog >/dev/null; then
  echo "man-db is not installed: skipped"
  exit 77
fi
fail=0
for page in "$@"; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
  if [ -n "$warnings" ]; then
    echo "$page: $warnings"
    fail=1
  fi
  lexgrog "$page" >/dev/null || { echo "$page: lexgrog finds no NAME line"; fail=1; }
done
cli_page=$(for page in "$@"; do case $page in *trovik-cli.1) echo "$page" ;; esac; done)
text=$(LC_ALL=C MANWIDTH=200 man -E ascii -l "$cli_page" 2>/dev/null | col -b)
commands=$("$cli" --help | sed -n '/^Commands:/,/^$/s/^  \([a-z][a-z0-9-]*\) .*/\1/p')
for command in $commands; do
  echo "$text" | grep -q "^       $command\b" || { echo "trovik-cli.1 lacks the command $command"; fail=1; }
  for option in $("$cli" "$command" --help | grep -o -- '--[a-z][a-z0-9-]*' | sort -u); do
    echo "$text" | grep -q -- "$option\b" || { echo "trovik-cli.1 lacks $command's option $option"; fail=1; }
  done
done
# The two programs' pages name the settings file, the loader's variables and the exit statuses.
for variable in PONTIL_LIBRARY_PATH PONTIL_ROOT Trovik.ini "EXIT STATUS"; do
  for page in "$@"; do
    case $page in */trovik.1 | trovik.1 | *trovik-cli.1) ;; *) continue ;; esac
    LC_ALL=C man -E ascii -l "$page" 2>/dev/null | grep -q "$variable" || { echo "$page lacks $variable"; fail=1; }
  done
done
[ "$fail" = 0 ] && echo "manual pages are clean and complete"
exit "$fail"
