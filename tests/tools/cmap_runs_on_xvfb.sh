#!/usr/bin/env bash
# Runs the real program on an X server of its own (Xvfb) with a large CJK
# font on its command line, shows "cmap", clicks the fourth run of the
# list (which fills the three fields with it), types another glyph number
# and presses "set"; the font is saved through the save panel and
# fontTools must read exactly that run changed in every Unicode subtable
# and every other subtable the same bytes.
# Usage: cmap_runs_on_xvfb.sh PROGRAM FONT PYTHON TOOLS_DIR
set -euo pipefail
program=$1 font=$2 python=$3 tools=$4
source "$(dirname "$0")/xvfb_session.sh"

# The fourth run of the best map as the list shows it (consecutive codes
# to consecutive glyphs): start, end, first glyph, in hexadecimal.
read -r start end first < <("$python" - "$font" <<'PY'
import sys
from fontTools.ttLib import TTFont
font = TTFont(sys.argv[1], lazy=True)
runs = []
for code, name in sorted(font["cmap"].getBestCmap().items()):
    gid = font.getGlyphID(name)
    if gid == 0:
        continue
    if runs and runs[-1][1] + 1 == code and runs[-1][2] + code - runs[-1][0] == gid:
        runs[-1][1] = code
    else:
        runs.append([code, code, gid])
print("%04x %04x %04x" % tuple(runs[3]))
PY
)
glyph=0100
echo "run $start-$end (glyph $first) to glyph $glyph"

start_program "$program" "$font"
large_window
show_table "$font" cmap
# The list starts 104 pixels into the view, one run every 15.
xdotool mousemove $((left + 60)) $((viewtop + 104 + 3 * 15 + 7)) click 1
sleep 0.5
# Only the glyph field is typed: start and end come from the click.
xdotool mousemove $((left + 260 + 90)) $((viewtop + 460)) click 1
sleep 0.2
xdotool key End
xdotool key --repeat 12 BackSpace
xdotool type --delay 20 "$glyph"
xdotool key Return
sleep 0.3
xdotool mousemove $((left + 520)) $((viewtop + 459)) click 1
sleep 1
import -window root "$work/cmap.png"
if [ -n "${TAVREL_SCREENSHOT_DIR:-}" ]; then
    cp "$work/cmap.png" "$TAVREL_SCREENSHOT_DIR/xvfb_cmap_runs.png"
fi

save_as saved.ttf
quit_program

ots-sanitize "$work/saved.ttf" >/dev/null || { echo "OTS refused the saved font"; exit 1; }
"$python" "$tools/cmap_edit_check.py" "$font" "$work/saved.ttf" "$start" "$end" "$glyph"
echo "run $start-$end remapped on the desktop, saved and read back"
