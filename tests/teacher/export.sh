#!/usr/bin/env bash
# The spreadsheet export with no display, as a Polish user runs it: one sheet of all classes and
# one a class, typed cells (dates, numbers, texts that stay texts, exactly), the header frozen with
# a filter; read back by openpyxl. Neither export leaves half a file where it fails.
set -uo pipefail
bin=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cp "$bin" "$(dirname "$bin")/cyfrolia-nauczyciel" "$tmp/"
class_file() { sed 's/$/\r/' | iconv -f UTF-8 -t CP1250 >"$tmp/wyniki_kl_$1.txt"; }
# Class I: names and lines a spreadsheet would run as formulas, a tab, a name typed without its
# letters, American dates shown by one with a day above 12. Class II: a date that reads two ways.
class_file I <<'EOF'
=1+1 X. Ocena: 4. Dnia: 2/6/26
=== II półrocze ===
=HYPERLINK("x y"&"z. Ocena: 5. Dnia: ";"kliknij")
Malgorzata	Sciborek. Ocena: 3. Dnia: 2/13/26
Małgorzata Ściborek. Ocena: 6. Dnia: 2/14/26
EOF
class_file II <<'EOF'
Jan Lis. Ocena: 5. Dnia: 8 lutego 2026
Ala Kot. Ocena: 2. Dnia: 3/5/26
EOF
# Class III: a line longer than a cell may hold.
printf 'x%.0s' $(seq 40000) >"$tmp/wyniki_kl_III.txt"
for k in IV V VI; do : >"$tmp/wyniki_kl_$k.txt"; done

run() { env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= LANG=pl_PL.UTF-8 LC_ALL=pl_PL.UTF-8 "$tmp/cyfrolia" "$@"; }
run --export-xlsx "$tmp/oceny.xlsx" 2>"$tmp/err" || fail "the export ended with $?: $(cat "$tmp/err")"
run --export-xlsx - >"$tmp/standard.xlsx" 2>"$tmp/err" || fail "the export to standard output failed: $(cat "$tmp/err")"

for file in oceny.xlsx standard.xlsx; do
    /usr/bin/python3 - "$tmp/$file" <<'PYEOF' || fail "$file is not as expected"
import datetime, sys
import openpyxl

book = openpyxl.load_workbook(sys.argv[1])
assert book.sheetnames == ["Wszystkie klasy"] + ["Klasa " + k for k in "I II III IV V VI".split()], book.sheetnames
header = ("klasa", "imię i nazwisko", "ocena", "data", "wiersz", "uwagi", "uczeń")
for sheet in book.worksheets:
    rows = list(sheet.iter_rows(values_only=True))
    assert rows[0] == header, rows[0]
    assert sheet.freeze_panes == "A2", (sheet.title, sheet.freeze_panes)
    assert sheet.auto_filter.ref == f"A1:G{len(rows)}", (sheet.title, sheet.auto_filter.ref)

first = book["Klasa I"]
rows = list(first.iter_rows(values_only=True))
# Texts exactly as written, never formulas; the grouped name with its letters.
assert all(cell.data_type in "snd" for row in first.iter_rows() for cell in row), "a formula cell"
assert rows[1] == ("I", "=1+1 X", 4, datetime.datetime(2026, 2, 6), "=1+1 X. Ocena: 4. Dnia: 2/6/26", None, "=1+1 X"), rows[1]
assert rows[2] == ("I", None, None, None, "=== II półrocze ===", None, None), rows[2]
assert rows[3][1] == '=HYPERLINK("x y"&"z' and rows[3][3] is None and rows[3][5] == "data nieczytelna", rows[3]
assert rows[4][1] == "Malgorzata\tSciborek" and rows[4][6] == "Małgorzata Ściborek", rows[4]
assert isinstance(rows[1][2], int) and first["D2"].is_date, first["D2"].number_format
# Every class in the sheet of all, in file order.
everything = list(book["Wszystkie klasy"].iter_rows(values_only=True))
assert [r[0] for r in everything[1:]] == ["I"] * 5 + ["II", "II", "III"], everything
assert everything[6][3] == datetime.datetime(2026, 2, 8), everything[6]
assert everything[7][3] is None and everything[7][5] == "data niepewna: 5.03 lub 3.05.2026", everything[7]
# A line longer than a cell may hold is cut there, and the notes say so.
long = everything[8]
assert long[4] == "x" * 32767 and "32767" in long[5], (len(long[4]), long[5])
PYEOF
done

# A failed export leaves the file it was to replace as it was, and nothing beside it.
for kind in csv xlsx; do
    echo stare >"$tmp/keep.$kind"
    (trap '' XFSZ; ulimit -f 2; run "--export-$kind" "$tmp/keep.$kind") 2>"$tmp/err" &&
        fail "the $kind export reported success with no room to write"
    [[ "$(cat "$tmp/keep.$kind")" == stare ]] || fail "a failed $kind export changed the file it was to replace"
done
leftovers=$(cd "$tmp" && ls -A | grep -Ev '^(cyfrolia|cyfrolia-nauczyciel|wyniki_kl_(I|II|III|IV|V|VI)\.txt|oceny\.xlsx|standard\.xlsx|keep\.(csv|xlsx)|err)$')
[[ -z "$leftovers" ]] || fail "files left beside the exports: $leftovers"
echo "PASS: export"
