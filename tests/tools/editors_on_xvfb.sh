#!/usr/bin/env bash
# Runs the real program on an X server of its own (Xvfb) with a font on its
# command line and edits two tables with xdotool, as a user would: in the
# "name" editor it adds a record typed in several scripts and sees a
# Macintosh record refuse a character it cannot hold, in the "gasp"
# editor it changes a range picked from the list and adds another; then it
# saves through the save panel, quits, and checks the written file with OTS,
# fontTools and FreeType.
# Usage: editors_on_xvfb.sh PROGRAM FONT PYTHON FT_CHECK
set -euo pipefail
program=$1 font=$2 python=$3 ftcheck=$4
source "$(dirname "$0")/xvfb_session.sh"
start_program "$program" "$font"

# A click at window coordinates; table views start 53 pixels down.
click() { xdotool mousemove $((left + $1)) $((top + $2)) click 1; sleep 0.25; }
in_table() { click "$1" $((53 + $2)); }
typed() { xdotool type --delay 40 "$1"; sleep 0.25; }

choose() { show_table "$font" "$1"; }

# name: "add", the four IDs (Windows, full Unicode), a family name in
# Latin, CJK and an emoji, "set". Then the Macintosh family record with a
# Han character, which Macintosh Roman has no byte for: an alert says so.
family='Tavrel ñé 漢字 😀'
choose name
name_record() {
    local ids=("$1" "$2" "$3" "$4") text=$5 k
    in_table 45 420
    for k in 0 1 2 3; do
        in_table $((110 + 120 * k)) 460
        typed "${ids[$k]}"
    done
    in_table 300 490
    typed "$text"
    in_table 520 459
}
name_record 3 a 409 1 "$family"
import -window root "$work/name.png"
name_record 1 0 0 1 "漢"
sleep 0.5
import -window root "$work/name_refused.png"
xdotool key Return
sleep 0.5

# gasp: the first range (size 8, grayscale) gets grid-fitting too; "add",
# size 10 (hexadecimal: 16) with grid-fitting alone, "set".
choose gasp
in_table 60 28
in_table 146 460
in_table 520 459
in_table 45 420
in_table 100 460
typed "10"
in_table 146 460
in_table 520 459
import -window root "$work/gasp.png"

save_as edited.ttf
quit_program

[ -n "${TAVREL_SCREENSHOT_DIR:-}" ] &&
    cp "$work/name.png" "$work/name_refused.png" "$work/gasp.png" "$TAVREL_SCREENSHOT_DIR/"
grep -q "Macintosh Roman text cannot hold .*漢.* (U+6F22)" "$work/err.txt" ||
    { echo "no alert named the refused character"; exit 1; }
ots-sanitize "$work/edited.ttf" >/dev/null || { echo "OTS refused the saved font"; exit 1; }
"$python" - "$work/edited.ttf" "$family" "$font" <<'EOF'
import sys
from fontTools.ttLib import TTFont

font = TTFont(sys.argv[1])
family = font["name"].getName(1, 3, 10, 0x409)
if family is None or family.toUnicode() != sys.argv[2]:
    sys.exit("family name read back as %r" % (family and family.toUnicode(),))
mac = font["name"].getName(1, 1, 0, 0)
was = TTFont(sys.argv[3])["name"].getName(1, 1, 0, 0)
if (mac and mac.toUnicode()) != (was and was.toUnicode()):
    sys.exit("the refused Macintosh record changed: %r" % (mac and mac.toUnicode(),))
ranges = sorted(font["gasp"].gaspRange.items())
if ranges != [(8, 3), (16, 1), (0xFFFF, 3)]:
    sys.exit("gasp ranges read back as %r" % (ranges,))
print("name and gasp edited on the desktop and read back")
EOF
# FreeType reads the family name and the grid-fitting of each size band.
"$ftcheck" "$work/edited.ttf" report names gasp=7,8,9,16,17,100 >"$work/ft.txt"
grep -qxF "name 1: $family" "$work/ft.txt" || { echo "FreeType's names:"; cat "$work/ft.txt"; exit 1; }
want=$'gasp 7: 3\ngasp 8: 3\ngasp 9: 1\ngasp 16: 1\ngasp 17: 3\ngasp 100: 3'
[ "$(grep '^gasp ' "$work/ft.txt")" = "$want" ] || { echo "FreeType's gasp:"; grep '^gasp ' "$work/ft.txt"; exit 1; }
echo "FreeType reads the new name and ranges"
