#!/bin/sh
# The saving helper as built: it loads the C++ and C libraries only, nothing of Qt, ICU or glib,
# and carries Debian's hardening: PIE, full RELRO with bind-now, stack protector, fortified
# functions. Control-flow protection is not asked of it: Debian 12's C library start files
# (Scrt1.o, crti.o) carry no CET marking, so no program linked on Debian 12 can carry it.
# Usage: saver_weight.sh <helper>
set -eu
libraries=$(ldd "$1")
if printf '%s\n' "$libraries" | grep -Ei 'qt|icu|glib|pcre|gomp'; then
    echo "FAIL: the helper loads more than the C++ and C libraries"
    exit 1
fi
hardening-check --nocfprotection "$1"
