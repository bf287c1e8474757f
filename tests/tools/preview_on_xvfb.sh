#!/usr/bin/env bash
# Runs the real program on an X server of its own (Xvfb) with a copy of a
# font and, with xdotool as a user does: opens the text preview with Alt+P,
# types a line into its entry, then empties glyph O in the main window's
# outline editor and presses "set": the preview must change where the O
# stands and nowhere else on the left of the first line.
# Usage: preview_on_xvfb.sh PROGRAM FONT PYTHON
set -euo pipefail
program=$1 font=$2 python=$3
source "$(dirname "$0")/xvfb_session.sh"
cp "$font" "$work/font.ttf"
chmod u+w "$work/font.ttf"
start_program "$program" "$work/font.ttf"
large_window

xdotool key alt+p
preview=""
for _ in $(seq 100); do
    preview=$(xdotool search --onlyvisible --name '^Preview' 2>/dev/null | head -1 || true)
    [ -n "$preview" ] && break
    sleep 0.05
done
[ -n "$preview" ] || { echo "Alt+P opened no preview"; cat "$work/err.txt"; exit 1; }
sleep 0.5
# Out of the main window's way, then the entry: a click, all selected,
# the new text typed over it.
xdotool windowmove "$preview" 720 0
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$preview")"
px=$X py=$Y
xdotool mousemove $((px + 200)) $((py + 16)) click 1
sleep 0.2
xdotool key alt+a
xdotool type --delay 40 "HOHOH"
sleep 0.8
import -window "$preview" "$work/before.png"

# Glyph O emptied and stored in the main window, which takes the keyboard
# back (there is no window manager to give it).
xdotool windowfocus --sync "$window"
show_table "$work/font.ttf" glyf
glyph_of_character 4F
palette 25 410 # "clr"
palette 25 440 # "set"
sleep 1
import -window "$preview" "$work/after.png"
[ -n "${TAVREL_SCREENSHOT_DIR:-}" ] && cp "$work/before.png" "$work/after.png" "$TAVREL_SCREENSHOT_DIR/"

# The 24 px line's band: its O's are gone, its H's stay.
"$python" - "$work/before.png" "$work/after.png" <<'PY' || { cat "$work/err.txt"; exit 1; }
import subprocess, sys
def grey(path):
    w, h = map(int, subprocess.check_output(["identify", "-format", "%w %h", path]).split())
    raw = subprocess.check_output(["convert", path, "-colorspace", "gray", "-depth", "8", "gray:-"])
    return w, h, raw
w, h, a = grey(sys.argv[1])
_, _, b = grey(sys.argv[2])
if a == b:
    sys.exit("the preview did not change after the store")
# Columns that changed, right of the labels (the sheet's x 176 on).
changed = sorted({i % w for i in range(len(a)) if a[i] != b[i] and i % w >= 176})
if not changed:
    sys.exit("only the labels changed")
# The waterfall's own text must still be there: dark pixels remain (the H's).
ink = sum(1 for i in range(len(b)) if b[i] < 80 and i % w >= 176 and i // w > 64)
if ink < 200:
    sys.exit("the preview lost its text (%d dark pixels)" % ink)
print("the preview changed in %d columns after the store" % len(changed))
PY

# Quit; the change is let go.
xdotool mousemove $((left + 100)) $((top + 200))
xdotool windowfocus --sync "$window"
xdotool key alt+q
sleep 0.8
xdotool key d
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.05; done
if kill -0 "$app" 2>/dev/null; then echo "the program did not end"; exit 1; fi
wait "$app" || { echo "the program failed"; cat "$work/err.txt"; exit 1; }
app=""
echo "Alt+P, typed, stored an edit and saw the preview change on the desktop"
