#!/usr/bin/env bash
# Runs the real program on an X server of its own (Xvfb) and builds a new
# font as a user does, with xdotool: File > New, the BASIC_LATIN box ticked,
# "set", File > Save as with a name typed; then glyph A drawn as a rectangle
# in the glyph editor, "set" and File > Save (Alt+S), File > Quit; checks
# both written files with OTS, fontTools and FreeType.
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
grep -qx 'tavrel:save' "$work/out.txt" || { echo "no tavrel:save line"; exit 1; }
ots-sanitize "$work/new.ttf" >/dev/null || { echo "OTS refused the new font"; exit 1; }
"$python" "$check" "$work/new.ttf"
"$ftcheck" "$work/new.ttf" 41 16
cp "$work/new.ttf" "$work/empty.ttf"

# The glyph editor (glyf is the new font's third table): character 0041,
# the rectangle tool, a drag over the middle of the canvas, "set".
large_window
show_table "$work/new.ttf" glyf
glyph_of_character 41
palette 38 143
xdotool mousemove $((left + 50 + 100)) $((viewtop + 60)) mousedown 1
for step in 1 2 3 4 5 6; do
    xdotool mousemove $((left + 50 + 100 + 40 * step)) $((viewtop + 60 + 50 * step))
    sleep 0.05
done
xdotool mouseup 1
sleep 0.4
[ -n "$shots" ] && import -window root "$shots/new_on_xvfb_glyph.png"
palette 25 440 # "set"
# File > Save writes over new.ttf.
before=$(stat -c %Y.%s "$work/new.ttf")
xdotool key alt+s
for _ in $(seq 100); do [ "$(stat -c %Y.%s "$work/new.ttf")" != "$before" ] && break; sleep 0.05; done
cmp -s "$work/new.ttf" "$work/empty.ttf" && { echo "Alt+S did not save the drawn glyph"; exit 1; }
quit_program

ots-sanitize "$work/new.ttf" >/dev/null || { echo "OTS refused the font with a drawn glyph"; exit 1; }
"$python" "$check" "$work/new.ttf"
"$python" - "$work/new.ttf" <<'PY'
import sys
from fontTools.ttLib import TTFont
font = TTFont(sys.argv[1])
name = font["cmap"].getBestCmap()[0x41]
glyph = font["glyf"][name]
if glyph.numberOfContours != 1 or len(glyph.coordinates) != 4:
    sys.exit("glyph A has %d contours" % glyph.numberOfContours)
print("drawn A", name, glyph.xMin, glyph.yMin, glyph.xMax, glyph.yMax)
PY
"$ftcheck" "$work/new.ttf" 41 16
echo "new font built, saved and checked"
