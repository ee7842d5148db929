#!/usr/bin/env bash
# The command line answers with no display at all: help and the version on standard output with
# code 0, a mistake on standard error with code 2; both manual pages list every option --help does.
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
)
for row in "${cases[@]}"; do
    IFS='|' read -r args code out err <<<"$row"
    # shellcheck disable=SC2086 # the arguments are split on purpose
    env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= "$bin" $args >"$tmp/out" 2>"$tmp/err"
    rc=$?
    [[ $rc == "$code" ]] || fail "'$args' ended with $rc, not $code: $(cat "$tmp/err")"
    grep -Eq -- "$out" "$tmp/out" || [[ "$out" == '^$' && ! -s "$tmp/out" ]] ||
        fail "'$args' printed '$(cat "$tmp/out")', expected /$out/"
    grep -Eq -- "$err" "$tmp/err" || [[ "$err" == '^$' && ! -s "$tmp/err" ]] ||
        fail "'$args' said '$(cat "$tmp/err")' on standard error, expected /$err/"
done

env -u DISPLAY QT_QPA_PLATFORM= "$bin" --help >"$tmp/help" 2>/dev/null
for option in $(grep -Eo -- '(^| )--[a-z-]+' "$tmp/help" | sort -u); do
    for page in cyfrolia.1.in cyfrolia.pl.1.in; do
        grep -qF -- "${option//-/\\-}" "$packaging/$page" || fail "$page does not describe $option"
    done
done
echo "PASS: command line"
