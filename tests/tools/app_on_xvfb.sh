#!/usr/bin/env bash
# Runs the real program on an X server of its own (Xvfb) with a font on its
# command line: clicks the "head" tag with xdotool, saves through the save
# panel, quits from the menu, then checks the written file with OTS and
# fontTools. Usage: app_on_xvfb.sh PROGRAM FONT PYTHON CHECK_FONT_SCRIPT
set -euo pipefail
program=$1 font=$2 python=$3 check=$4
source "$(dirname "$0")/xvfb_session.sh"
start_program "$program" "$font"

# The selector's column of "head": the tag's place in the font's directory.
index=$(tag_column "$font" head)
xdotool mousemove $((left + 10 + 30 * index + 8)) $((top + 45)) click 1
sleep 0.5
import -window root "$work/head.png"
red=$(convert "$work/head.png" -crop 30x14+$((left + 10 + 30 * index))+$((top + 38)) \
    -fx '(r>0.8 && g<0.35 && b<0.25) ? 1 : 0' -format '%[fx:mean*w*h]' info:)
if [ "${red%.*}" -lt 5 ]; then echo "the head tag is not highlighted"; exit 1; fi

save_as saved.ttf
# File > Quit ends the program with status 0.
quit_program

grep -qx 'tavrel:load' "$work/out.txt" || { echo "no tavrel:load line"; exit 1; }
grep -qx 'tavrel:save' "$work/out.txt" || { echo "no tavrel:save line"; exit 1; }
ots-sanitize "$work/saved.ttf" >/dev/null || { echo "OTS refused the saved font"; exit 1; }
"$python" "$check" "$work/saved.ttf"
echo "saved through the panel and checked"
