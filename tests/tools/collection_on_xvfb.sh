#!/usr/bin/env bash
# Runs the real program on an X server of its own (Xvfb) with a collection
# of three faces (built by fontTools from Liberation Sans; face 2 shares
# every table but name with face 0): answers the question which face to
# open with a click on face 1 and "Open", checks the title, shows maxp, types
# a new maxStackElements and saves with File > Save. Then checks with
# fontTools that only face 1's maxp changed, and that OTS and FreeType
# read every face.
# Usage: collection_on_xvfb.sh PROGRAM PYTHON FT_CHECK TOOLS_DIR
set -euo pipefail
program=$1 python=$2 ftcheck=$3 tools=$4
source "$(dirname "$0")/xvfb_session.sh"
l=/usr/share/fonts/truetype/liberation2
font=$work/three.ttc
"$python" "$tools/build_collection.py" "$font" "$l/LiberationSans-Regular.ttf" \
    "$l/LiberationSans-Bold.ttf" "$l/LiberationSans-Regular.ttf=Copy Sans"
cp "$font" "$work/before.ttc"
start_program "$program" "$font"
question=""
for _ in $(seq 100); do
    question=$(xdotool search --onlyvisible --name '^Open a face$' 2>/dev/null | head -1 || true)
    [ -n "$question" ] && break
    sleep 0.05
done
[ -n "$question" ] || { echo "no question which face to open"; cat "$work/err.txt"; exit 1; }
sleep 0.3
[ -n "${TAVREL_SCREENSHOT_DIR:-}" ] && import -window root "$TAVREL_SCREENSHOT_DIR/collection-question.png"
# Face 1's row of the list, then "Open".
eval "$(xdotool getwindowgeometry --shell "$question")"
xdotool mousemove $((X + 60)) $((Y + 58)) click 1
sleep 0.3
xdotool mousemove $((X + 330)) $((Y + 105)) click 1
# Searched by its title: a slow run (ThreadSanitizer) may not have the
# window first found any more, and asking for its name would fail.
for _ in $(seq 200); do
    found=$(xdotool search --onlyvisible --name '^three\.ttc #1 — tavrel$' 2>/dev/null | head -1 || true)
    if [ -n "$found" ]; then
        window=$found
        title=$(xdotool getwindowname "$window" 2>/dev/null || true)
        [ "$title" = "three.ttc #1 — tavrel" ] && break
    fi
    sleep 0.05
done
[ -n "${TAVREL_SCREENSHOT_DIR:-}" ] && import -window root "$TAVREL_SCREENSHOT_DIR/collection-opened.png"
[ "$title" = "three.ttc #1 — tavrel" ] || { echo "the title does not name the face: $title"; exit 1; }
echo "title: $title"
large_window
# maxp's column in the selector: its place in face 1's directory.
column=$("$python" -c '
import struct, sys
data = open(sys.argv[1], "rb").read()
d = struct.unpack(">L", data[16:20])[0]
n = struct.unpack(">H", data[d + 4:d + 6])[0]
print([data[d + 12 + 16 * i:d + 16 + 16 * i] for i in range(n)].index(b"maxp"))' "$font")
xdotool mousemove $((left + 10 + 30 * column + 8)) $((top + 45)) click 1
sleep 0.5
type_stack 77
sleep 0.4
file_menu $MENU_SAVE
sleep 1
quit_program

changes=$("$python" "$tools/compare_collections.py" "$work/before.ttc" "$font")
[ "$changes" = $'faces 3\n1 maxp changed' ] || { echo "fontTools sees: $changes"; exit 1; }
stack=$("$python" -c '
import sys
from fontTools.ttLib import TTFont
print(TTFont(sys.argv[1], fontNumber=1)["maxp"].maxStackElements)' "$font")
[ "$stack" = 119 ] || { echo "face 1 holds maxStackElements $stack"; exit 1; }
for face in 0 1 2; do
    ots-sanitize "$font" /dev/null $face >/dev/null || { echo "OTS refused face $face"; exit 1; }
    "$ftcheck" "$font#$face" >/dev/null || { echo "FreeType cannot read face $face"; exit 1; }
done
echo "a face of a collection chosen, edited and saved on the desktop, every face checked"
