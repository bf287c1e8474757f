#!/usr/bin/env bash
# Runs the real program on an X server of its own (Xvfb) with a font on its
# command line and uses the glyph overview as a user does: Alt+G opens it,
# End scrolls to the last row, a double-click on the last glyph's cell shows
# that glyph in the outline editor, whose palette then clears it and stores
# it ("clr", "set"). The font saved through the panel must have that glyph
# empty and every other glyph as it was (fontTools), which only holds if
# the editor showed the glyph that was double-clicked.
# Usage: overview_on_xvfb.sh PROGRAM FONT PYTHON
set -euo pipefail
program=$1 font=$2 python=$3
source "$(dirname "$0")/xvfb_session.sh"
export XDG_CONFIG_HOME="$work/config"
start_program "$program" "$font"
large_window

xdotool windowfocus --sync "$window"
xdotool key alt+g
# The overview is titled with the font's file name once it has read it.
title="Glyphs — $(basename "$font")"
overview="" name=""
for _ in $(seq 200); do
    overview=$(xdotool search --onlyvisible --name '^Glyphs' 2>/dev/null | head -1 || true)
    [ -n "$overview" ] && name=$(xdotool getwindowname "$overview")
    [ "$name" = "$title" ] && break
    sleep 0.05
done
[ "$name" = "$title" ] || { echo "no overview titled \"$title\" after Alt+G (\"$name\")"; exit 1; }
sleep 0.5
xdotool windowfocus --sync "$overview"
xdotool key End
sleep 0.5
import -window root "$work/end.png"

# Where the last glyph's cell is: 64-pixel cells 70 pixels apart across the
# grid (the window less its 15-pixel scroll bar, 4-pixel margins), 91
# pixels tall; after End the last row ends 4 pixels above the bottom.
eval "$(xdotool getwindowgeometry --shell "$overview")"
count=$("$python" -c 'import sys; from fontTools.ttLib import TTFont; print(len(TTFont(sys.argv[1]).getGlyphOrder()))' "$font")
cols=$(( (WIDTH - 15 - 8 + 6) / 70 ))
last=$((count - 1))
x=$((X + 4 + (last % cols) * 70 + 32))
y=$((Y + HEIGHT - 1 - 4 - 45))
xdotool mousemove "$x" "$y" click --repeat 2 --delay 80 1
sleep 0.8
import -window root "$work/shown.png"
[ -n "${TAVREL_SCREENSHOT_DIR:-}" ] && cp "$work/end.png" "$work/shown.png" "$TAVREL_SCREENSHOT_DIR/"

xdotool windowfocus --sync "$window"
palette 25 410 # "clr"
palette 25 440 # "set"
save_as cleared.ttf
quit_program

"$python" - "$font" "$work/cleared.ttf" "$last" <<'PY'
import sys
from fontTools.ttLib import TTFont
before, after = TTFont(sys.argv[1]), TTFont(sys.argv[2])
last = int(sys.argv[3])
order = before.getGlyphOrder()
changed = [n for n in order
           if before["glyf"][n].getCoordinates(before["glyf"])[0] !=
              after["glyf"][n].getCoordinates(after["glyf"])[0]]
name = order[last]
if changed != [name]:
    sys.exit("changed glyphs %r, expected only %r" % (changed[:5], name))
if after["glyf"][name].numberOfContours not in (0, None):
    sys.exit("glyph %s was not cleared" % name)
print("glyph %d shown from the overview and stored empty" % last)
PY
