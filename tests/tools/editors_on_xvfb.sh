#!/usr/bin/env bash
# Runs the real program on an X server of its own (Xvfb) with a font on its
# command line and edits two tables with xdotool, as a user would: in the
# "name" editor it adds a record typed in several scripts, in the "gasp"
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

# name: "add", the four IDs, a family name in Latin, CJK and an emoji, "set".
family='Tavrel ñé 漢字 😀'
choose name
in_table 45 420
for field in "110 3" "230 1" "350 409" "470 1"; do
    set -- $field
    in_table "$1" 460
    typed "$2"
done
in_table 300 490
typed "$family"
in_table 520 459
import -window root "$work/name.png"

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

[ -n "${TAVREL_SCREENSHOT_DIR:-}" ] && cp "$work/name.png" "$work/gasp.png" "$TAVREL_SCREENSHOT_DIR/"
ots-sanitize "$work/edited.ttf" >/dev/null || { echo "OTS refused the saved font"; exit 1; }
"$python" - "$work/edited.ttf" "$family" <<'EOF'
import sys
from fontTools.ttLib import TTFont

font = TTFont(sys.argv[1])
family = font["name"].getName(1, 3, 1, 0x409)
if family is None or family.toUnicode() != sys.argv[2]:
    sys.exit("family name read back as %r" % (family and family.toUnicode(),))
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
