#!/usr/bin/env bash
# Runs the real program on an X server of its own (Xvfb) with a copy of
# Liberation Sans and, with xdotool as a user does: opens the check window
# with Alt+K ("Check — font.ttf"), double-clicks its first finding (glyph
# 2207: a contour of one point, point 11), which shows the glyph in the
# outline editor with that point selected; Delete then removes the point
# (its contour with it), "set" stores the glyph and Alt+S saves. fontTools
# reads the glyph without the contour, and `tavrel --check` no longer lists
# the finding. Screenshots of both windows go to $TAVREL_SCREENSHOT_DIR when
# it is set.
# Usage: check_on_xvfb.sh PROGRAM FONT PYTHON
set -euo pipefail
program=$1 font=$2 python=$3
source "$(dirname "$0")/xvfb_session.sh"
cp "$font" "$work/font.ttf"
chmod u+w "$work/font.ttf"
start_program "$program" "$work/font.ttf"
large_window

shot() { [ -n "${TAVREL_SCREENSHOT_DIR:-}" ] && import -window root "$TAVREL_SCREENSHOT_DIR/$1.png" || true; }
points_of() {
    "$python" -c '
import sys
from fontTools.ttLib import TTFont
f = TTFont(sys.argv[1])
g = f["glyf"][f.getGlyphOrder()[int(sys.argv[2])]]
print(g.numberOfContours, len(g.getCoordinates(f["glyf"])[0]))' "$1" "$2"
}
before=$(points_of "$work/font.ttf" 2207)
[ "$before" = "3 26" ] || { echo "glyph 2207 is not what the test expects: $before"; exit 1; }

xdotool windowfocus --sync "$window"
xdotool key alt+k
check=""
debug_windows() { for w in $(xdotool search --pid "$app" 2>/dev/null); do echo "$w: $(xdotool getwindowname "$w")"; done; }
for _ in $(seq 200); do
    # The name is matched as bytes: the em dash must reach the desktop's
    # WM_NAME too, which is what xdotool searches.
    check=$(xdotool search --onlyvisible --name '^Check — font\.ttf$' 2>/dev/null | head -1 || true)
    [ -n "$check" ] && break
    sleep 0.05
done
[ -n "$check" ] || { echo "Alt+K showed no check window"; debug_windows; cat "$work/err.txt"; exit 1; }
sleep 1
shot check-window
eval "$(xdotool getwindowgeometry --shell "$check")"
# The first row of the list, below the counts and the columns' titles.
xdotool mousemove $((X + 250)) $((Y + 62)) click --repeat 2 --delay 80 1
sleep 1
shot jumped
xdotool windowfocus --sync "$window"
xdotool key Delete
sleep 0.4
palette 25 440 # "set"
xdotool key alt+s
for _ in $(seq 100); do [ "$(points_of "$work/font.ttf" 2207)" = "2 25" ] && break; sleep 0.1; done
after=$(points_of "$work/font.ttf" 2207)
[ "$after" = "2 25" ] || { echo "glyph 2207 after the jump, Delete and set: $after (was $before)"; exit 1; }
sleep 0.5
shot stored
if "$program" --check "$work/font.ttf" | grep -q "glyph 2207: contour 1"; then
    echo "the saved font still has the finding"
    exit 1
fi
quit_program
echo "Alt+K showed the findings; a double click showed glyph 2207 with point 11 selected; its deletion stored and saved"
