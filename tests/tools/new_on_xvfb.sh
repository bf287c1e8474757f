#!/usr/bin/env bash
# Runs the real program on an X server of its own (Xvfb) and builds a new
# font as a user does, with xdotool: File > New, the BASIC_LATIN box ticked,
# "set", File > Save as with a name typed, File > Quit; then checks the
# written file with OTS, fontTools and FreeType.
# Usage: new_on_xvfb.sh PROGRAM PYTHON CHECK_FONT_SCRIPT FT_CHECK [SCREENSHOT_DIR]
set -euo pipefail
program=$1 python=$2 check=$3 ftcheck=$4 shots=${5:-}
source "$(dirname "$0")/xvfb_session.sh"
start_program "$program"

# File > New; the window takes its standard size for the set-up view.
file_menu $MENU_NEW
sleep 0.8
geometry
# The BASIC_LATIN box, then "set".
xdotool mousemove $((left + 30)) $((top + 53 + 17)) click 1
sleep 0.4
[ -n "$shots" ] && import -window root "$shots/new_on_xvfb_setup.png"
xdotool mousemove $((left + 520)) $((top + 53 + 497)) click 1
sleep 1
geometry
[ -n "$shots" ] && import -window root "$shots/new_on_xvfb_font.png"

save_as new.ttf
quit_program

grep -qx 'tavrel:save' "$work/out.txt" || { echo "no tavrel:save line"; exit 1; }
ots-sanitize "$work/new.ttf" >/dev/null || { echo "OTS refused the new font"; exit 1; }
"$python" "$check" "$work/new.ttf"
"$ftcheck" "$work/new.ttf" 41 16
echo "new font built, saved and checked"
