#!/usr/bin/env bash
# Runs the real program on an X server of its own (Xvfb) with a font on its
# command line and edits a glyph with xdotool as a user does: shows "glyf",
# types character 0041 into the palette, clears the glyph, picks the
# rectangle tool, drags a rectangle on the canvas, drags a second one and
# takes it back with Alt+Z (redone and undone again), and presses "set"; then
# saves through the save panel and checks that OTS accepts the file, that
# fontTools reads the rectangle where it was drawn and that FreeType
# renders it as a solid block.
# Usage: glyph_editor_on_xvfb.sh PROGRAM FONT PYTHON FT_CHECK
set -euo pipefail
program=$1 font=$2 python=$3 ftcheck=$4
source "$(dirname "$0")/xvfb_session.sh"
start_program "$program" "$font"
large_window
show_table "$font" glyf
glyph_of_character 41
import -window root "$work/glyph.png"
palette 25 410 # "clr"
palette 38 143 # the rectangle tool
# A drag from canvas pixel (80, 40) to (200, 140).
xdotool mousemove $((left + 50 + 80)) $((viewtop + 40)) mousedown 1
for step in 1 2 3 4 5 6; do
    xdotool mousemove $((left + 50 + 80 + 20 * step)) $((viewtop + 40 + 100 * step / 6))
    sleep 0.05
done
xdotool mouseup 1
sleep 0.4
import -window root "$work/drawn.png"
# A second rectangle, a slip taken back with Alt+Z: undone, redone with
# Shift+Alt+Z and undone again, it is not in the glyph stored below.
# (DejaVuSans's canvas is 288 x 173 pixels at its fitting zoom.)
xdotool mousemove $((left + 50 + 220)) $((viewtop + 20)) mousedown 1
for step in 1 2 3; do
    xdotool mousemove $((left + 50 + 220 + 15 * step)) $((viewtop + 20 + 12 * step))
    sleep 0.05
done
xdotool mouseup 1
sleep 0.4
xdotool key alt+z
sleep 0.3
xdotool key shift+alt+z
sleep 0.3
xdotool key alt+z
sleep 0.4
import -window root "$work/undone.png"
palette 25 440 # "set"
[ -n "${TAVREL_SCREENSHOT_DIR:-}" ] && cp "$work/glyph.png" "$work/drawn.png" "$work/undone.png" "$TAVREL_SCREENSHOT_DIR/"

save_as drawn.ttf
quit_program

ots-sanitize "$work/drawn.ttf" >/dev/null || { echo "OTS refused the saved font"; exit 1; }
# Canvas pixels map to font units through the fitting zoom, which steps
# down from 4.0 by 0.05 in single precision until the box fits 512 pixels.
"$python" - "$font" "$work/drawn.ttf" <<'PY'
import struct, sys
from fontTools.ttLib import TTFont
f32 = lambda v: struct.unpack("f", struct.pack("f", v))[0]
before, after = TTFont(sys.argv[1]), TTFont(sys.argv[2])
head = before["head"]
width = max(head.xMax - head.xMin, head.yMax - head.yMin)
s = 4.0
while f32(width * s) > 512 and f32(s - 0.05) > 0:
    s = f32(s - 0.05)
want = (head.xMin + 80 / s, head.yMax - 140 / s, head.xMin + 200 / s, head.yMax - 40 / s)
name = before["cmap"].getBestCmap()[0x41]
glyph = after["glyf"][name]
if glyph.numberOfContours != 1 or len(glyph.coordinates) != 4:
    sys.exit("glyph A has %d contours, %d points" % (glyph.numberOfContours, len(glyph.coordinates)))
xs = [p[0] for p in glyph.coordinates]
ys = [p[1] for p in glyph.coordinates]
got = (min(xs), min(ys), max(xs), max(ys))
if any(abs(g - w) > 3 / s for g, w in zip(got, want)):
    sys.exit("rectangle at %s, drawn at %s" % (got, want))
def outline(font, name):
    g = font["glyf"][name]
    if g.isComposite():
        return [(c.glyphName, c.x, c.y, c.flags) for c in g.components]
    if g.numberOfContours == 0:
        return None
    return (list(g.coordinates), g.endPtsOfContours, list(g.flags), g.program.getBytecode())
for other in before.getGlyphOrder():
    if other != name and outline(before, other) != outline(after, other):
        sys.exit("glyph %s changed too" % other)
print("glyph A is the rectangle drawn, every other glyph as before")
PY
# Rendered at 20 pixels the rectangle is a solid block of ink.
rows=$("$ftcheck" "$work/drawn.ttf" 41 20 | grep -E '^[#.]+$' || true)
[ -n "$rows" ] || { echo "FreeType rendered nothing"; exit 1; }
solid=$(printf '%s\n' "$rows" | grep -c '^#\+$' || true)
[ "$solid" -ge 5 ] || { echo "FreeType's rendering is not a block:"; printf '%s\n' "$rows"; exit 1; }
echo "glyph drawn on the desktop, stored, saved and checked"
