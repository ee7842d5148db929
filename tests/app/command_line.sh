#!/usr/bin/env bash
# The command line answers with no display at all: help and the version on standard output with
# code 0, a mistake on standard error with code 2, Qt's own options taken, and the missing display
# told in Polish with code 1; both manual pages list every option --help does and pass mandoc's lint.
set -uo pipefail
bin=$1 packaging=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# Arguments (split at blanks) | exit code | standard output, a regular expression | standard error.
cases=(
    "--version|0|^Cyfrolia 1\.0$|^$"
    "-v|0|^Cyfrolia 1\.0$|^$"
    "--help|0|--version|^$"
    "-h|0|--help|^$"
    "--no-such-option|2|^$|no-such-option"
    "--version --no-such-option|2|^$|no-such-option"
    "stray|2|^$|stray"
    "-session abc --version|0|^Cyfrolia 1\.0$|^$"
    "-style fusion -reverse -v|0|^Cyfrolia 1\.0$|^$"
    "--style=fusion -platform offscreen --help|0|--export-csv|^$"
    "-session|2|^$|Opcje programu"
    "|1|^$|nie znaleziono ekranu graficznego"
    "--teacher|1|^$|--export-csv oceny.csv"
    "-session abc -reverse|1|^$|nie znaleziono ekranu graficznego"
)
for row in "${cases[@]}"; do
    IFS='|' read -r args code out err <<<"$row"
    # shellcheck disable=SC2086 # the arguments are split on purpose
    env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_RUNTIME_DIR QT_QPA_PLATFORM= "$bin" $args >"$tmp/out" 2>"$tmp/err"
    rc=$?
    [[ $rc == "$code" ]] || fail "'$args' ended with $rc, not $code: $(cat "$tmp/err")"
    grep -Eq -- "$out" "$tmp/out" || [[ "$out" == '^$' && ! -s "$tmp/out" ]] ||
        fail "'$args' printed '$(cat "$tmp/out")', expected /$out/"
    grep -Eq -- "$err" "$tmp/err" || [[ "$err" == '^$' && ! -s "$tmp/err" ]] ||
        fail "'$args' said '$(cat "$tmp/err")' on standard error, expected /$err/"
done

# Polish whatever the user's language.
env -u DISPLAY QT_QPA_PLATFORM= LANG=C LC_ALL=C LANGUAGE= "$bin" --help >"$tmp/help" 2>/dev/null
grep -q 'Sposób użycia' "$tmp/help" && grep -q 'Wypisuje opcje programu' "$tmp/help" ||
    fail "--help under LANG=C is not Polish: $(head -n 3 "$tmp/help")"
for option in $(grep -Eo -- '(^| )--[a-z-]+' "$tmp/help" | sort -u); do
    for page in cyfrolia.1.in cyfrolia.pl.1.in; do
        grep -qF -- "${option//-/\\-}" "$packaging/$page" || fail "$page does not describe $option"
    done
done
for page in cyfrolia.1.in cyfrolia.pl.1.in; do
    lint=$(mandoc -T lint -W warning "$packaging/$page" 2>&1) || true
    [[ -z "$lint" ]] || fail "mandoc finds fault with $page: $lint"
done
echo "PASS: command line"
