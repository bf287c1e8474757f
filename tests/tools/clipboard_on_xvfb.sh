#!/usr/bin/env bash
# Two running programs and a plain X client share the desktop's clipboard
# (the CLIPBOARD selection) on an X server of their own (Xvfb): glyph A of
# the first font is copied with Alt+C in one program and pasted with Alt+V
# into glyph B of another font in a second program; xclip lists the types
# offered and reads the SVG path; an SVG that xclip offers is pasted into
# glyph C. The second font is saved and fontTools reads A's contours in B
# and the SVG's triangle in C.
# Usage: clipboard_on_xvfb.sh PROGRAM FONT_A FONT_B PYTHON
set -euo pipefail
program=$1 font_a=$2 font_b=$3 python=$4
source "$(dirname "$0")/xvfb_session.sh"
command -v xclip >/dev/null || { echo "xclip is missing (scripts/setup.sh installs it)"; exit 1; }

# The first program: glyph A shown, the canvas clicked (the palette's
# field gives the keyboard up) and the whole glyph copied.
start_program "$program" "$font_a"
first_app=$app first_window=$window
large_window
show_table "$font_a" glyf
glyph_of_character 41
palette 55 5
xdotool key alt+c
sleep 0.5

targets=$(xclip -selection clipboard -t TARGETS -o)
for t in application/x-vnd.tavrel-glyph image/svg+xml UTF8_STRING; do
    grep -qx "$t" <<<"$targets" || { echo "the copy does not offer $t: $targets"; exit 1; }
done
xclip -selection clipboard -t image/svg+xml -o >"$work/a.svg"
grep -q '^<svg .*<path d="M' "$work/a.svg" || { echo "no SVG path:"; cat "$work/a.svg"; exit 1; }

# The second program, on another font: glyph B cleared, the copy pasted
# while the first program still holds it, stored.
HOME=$work "$program" "$font_b" >"$work/out2.txt" 2>"$work/err2.txt" &
app=$!
second_app=$app
window=""
for _ in $(seq 200); do
    window=$(xdotool search --pid "$app" --name '^tavrel ver\.0\.011' 2>/dev/null | head -1 || true)
    [ -n "$window" ] && break
    sleep 0.05
done
[ -n "$window" ] || { echo "no second main window"; cat "$work/err2.txt"; exit 1; }
sleep 0.5
xdotool windowmove "$window" 620 0
large_window
show_table "$font_b" glyf
glyph_of_character 42
palette 25 410 # "clr"
palette 55 5
xdotool key alt+v
sleep 0.5
palette 25 440 # "set"

# An SVG path offered by xclip (which stays to serve it) pasted as glyph C.
printf '<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 100 100"><path d="M10 10 H90 V90 Z"/></svg>' |
    xclip -selection clipboard -t image/svg+xml -i
sleep 0.3
glyph_of_character 43
palette 25 410
palette 55 5
xdotool key alt+v
sleep 0.5
palette 25 440
import -window root "$work/pasted.png"
[ -n "${TAVREL_SCREENSHOT_DIR:-}" ] && cp "$work/pasted.png" "$TAVREL_SCREENSHOT_DIR/clipboard.png"
save_as pasted.ttf
quit_program
app=$first_app window=$first_window
geometry
quit_program

"$python" - "$font_a" "$font_b" "$work/pasted.ttf" <<'PY'
import sys
from fontTools.ttLib import TTFont
a, before, after = TTFont(sys.argv[1]), TTFont(sys.argv[2]), TTFont(sys.argv[3])
def contours(font, code):
    name = font["cmap"].getBestCmap()[code]
    g = font["glyf"][name]
    coords, ends, flags = g.getCoordinates(font["glyf"])
    return name, list(coords), list(ends), [f & 1 for f in flags]
_, ca, ea, fa = contours(a, 0x41)
nb, cb, eb, fb = contours(after, 0x42)
if (ea, fa) != (eb, fb):
    sys.exit("B's contours are not A's: ends %s / %s" % (ea, eb))
far = max(max(abs(p[0] - q[0]), abs(p[1] - q[1])) for p, q in zip(ca, cb))
if far > 1:
    sys.exit("B's points are up to %d units from A's" % far)
upem = after["head"].unitsPerEm
want = [(round(10 * upem / 100), round(90 * upem / 100)), (round(90 * upem / 100),) * 2,
        (round(90 * upem / 100), round(10 * upem / 100))]
nc, cc, ec, fc = contours(after, 0x43)
if cc != want or fc != [1, 1, 1]:
    sys.exit("C is %s, the SVG drew %s" % (cc, want))
def outline(font, name):
    g = font["glyf"][name]
    if g.isComposite():
        return [(c.glyphName, c.x, c.y, c.flags) for c in g.components]
    return list(g.coordinates) if g.numberOfContours else None
for other in before.getGlyphOrder():
    if other not in (nb, nc) and outline(before, other) != outline(after, other):
        sys.exit("glyph %s changed too" % other)
print("A copied in one program is B in the other, within %d unit; xclip's SVG is C" % far)
PY
echo "clipboard shared by two programs and xclip on the desktop"
