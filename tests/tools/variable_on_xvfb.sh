#!/usr/bin/env bash
# Runs the real program on an X server of its own (Xvfb) with a variable
# font (built by fontTools) and moves one point of glyph A as a user does:
# shows "glyf", types character 0041, clicks the curve's off-curve point
# (which selects its contour), drags it, presses "set" and saves through
# the save panel. Then checks that the title said "(variable)", that OTS
# accepts the file, that fontTools' instancer finds the glyph at every
# named instance and axis end moved by the same amount as in the default
# (every other glyph as it was), and that FreeType loads every named
# instance and renders the moved glyph with the point moved by that amount.
# Usage: variable_on_xvfb.sh PROGRAM PYTHON FT_CHECK TOOLS_DIR
set -euo pipefail
program=$1 python=$2 ftcheck=$3 tools=$4
source "$(dirname "$0")/xvfb_session.sh"
font=$work/variable.ttf
"$python" "$tools/build_variable_font.py" variable "$font"
start_program "$program" "$font"
title=$(xdotool getwindowname "$window")
case "$title" in
*"variable.ttf (variable)"*) echo "title: $title" ;;
*) echo "the title does not say the font is variable: $title"; exit 1 ;;
esac
large_window
show_table "$font" glyf
glyph_of_character 41
# Point 2 of A, (300, 400) in font units, on the canvas at the fitting
# zoom the palette shows; the canvas starts 50 pixels into the view.
read -r px py < <("$python" - "$font" <<'PY'
import struct, sys
from fontTools.ttLib import TTFont
f32 = lambda v: struct.unpack("f", struct.pack("f", v))[0]
head = TTFont(sys.argv[1])["head"]
s = 4.0
while f32((head.xMax - head.xMin) * s) > 512 and f32(s - 0.05) > 0:
    s = f32(s - 0.05)
print(int((300 - head.xMin) * s), int((head.yMax - 400) * s))
PY
)
x=$((left + 50 + px)) y=$((viewtop + py))
xdotool mousemove $x $y click 1
sleep 0.3
xdotool mousemove $x $y mousedown 1
for step in 1 2 3 4; do
    xdotool mousemove $((x + 6 * step)) $((y - 5 * step))
    sleep 0.05
done
xdotool mouseup 1
sleep 0.4
palette 25 440 # "set"
sleep 0.4
[ -n "${TAVREL_SCREENSHOT_DIR:-}" ] && import -window root "$TAVREL_SCREENSHOT_DIR/variable-moved.png"
save_as moved.ttf
quit_program

ots-sanitize "$work/moved.ttf" >/dev/null || { echo "OTS refused the saved font"; exit 1; }
# How far the point moved in the default: only that point, and by more
# than nothing.
read -r dx dy < <("$python" - "$font" "$work/moved.ttf" <<'PY'
import sys
from fontTools.ttLib import TTFont
a = list(TTFont(sys.argv[1])["glyf"]["A"].coordinates)
b = list(TTFont(sys.argv[2])["glyf"]["A"].coordinates)
if len(a) != len(b) or any(p != q for i, (p, q) in enumerate(zip(a, b)) if i != 2) or a[2] == b[2]:
    sys.exit("glyph A: %s became %s" % (a, b))
print(b[2][0] - a[2][0], b[2][1] - a[2][1])
PY
)
echo "point moved by $dx $dy"
"$python" "$tools/check_variations.py" "$font" "$work/moved.ttf" A moved 2 "$dx" "$dy"
before=$("$ftcheck" "$font" instances 41 24)
after=$("$ftcheck" "$work/moved.ttf" instances 41 24)
"$python" - "$dx" "$dy" <<PY
import sys
dx, dy = int(sys.argv[1]), int(sys.argv[2])
def parse(text):
    out = []
    for line in text.splitlines():
        if line.startswith("instance"):
            out.append([tuple(map(int, p.split(","))) for p in line.split(":")[1].split()])
        elif line.startswith("ink") and int(line.split()[1]) == 0:
            sys.exit("FreeType rendered an instance without ink")
    return out
before, after = parse("""$before"""), parse("""$after""")
if len(before) != 4 or len(after) != 4:
    sys.exit("FreeType sees %d and %d named instances" % (len(before), len(after)))
for k, (a, b) in enumerate(zip(before, after)):
    want = list(a)
    want[2] = (a[2][0] + dx, a[2][1] + dy)
    if b != want:
        sys.exit("instance %d: FreeType reads %s, expected %s" % (k + 1, b, want))
print("FreeType: every named instance has the point moved by the same amount")
PY
echo "a point of a variable font moved on the desktop, saved and checked"
