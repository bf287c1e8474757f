#!/usr/bin/env bash
# Runs the real program on an X server of its own (Xvfb) with a copy of a
# font with embedded bitmaps and, with xdotool as a user does: shows
# "EBDT", picks the strike from the size menu with the keyboard, types
# character 0042 into the palette and clicks a cell of the magnified
# bitmap. The toggled pixel is not stored yet: the title gains " *", Alt+Z
# takes the toggle back (the mark goes) and Shift+Alt+Z does it again.
# Alt+Q then asks instead of quitting; Escape keeps the program and the
# pixel; Alt+Q again and Return ("Save") stores the pixel, saves over the
# file and quits. fontTools finds exactly that one pixel changed.
# Usage: bitmap_on_xvfb.sh PROGRAM FONT PYTHON TOOLS_DIR
set -euo pipefail
program=$1 font=$2 python=$3 tools=$4
source "$(dirname "$0")/xvfb_session.sh"
cp "$font" "$work/font.ttf"
chmod u+w "$work/font.ttf"
start_program "$program" "$work/font.ttf"

title() { xdotool getwindowname "$window"; }
marked() { case "$(title)" in *" *") return 0 ;; *) return 1 ;; esac; }
windows() { xdotool search --pid "$app" 2>/dev/null | wc -l; }
pixels() { "$python" "$tools/bitmap_pixels.py" "$1"; }

large_window
show_table "$work/font.ttf" EBDT
# The strike size menu: opened with a click, its first strike chosen with
# the arrow and Return.
palette 25 95
xdotool key Down Return
sleep 0.4
glyph_of_character 42
marked && { echo "a font just opened is marked changed: $(title)"; exit 1; }

# A cell in the second column, third row of the 8 x 8 strike (37.5 pixels
# a cell on the canvas, which starts 50 pixels into the view).
palette $((50 + 100 + 56)) $((100 + 94))
marked || { echo "the toggled pixel did not mark the title: $(title)"; exit 1; }
xdotool key alt+z
sleep 0.4
marked && { echo "Alt+Z did not take the toggle back: $(title)"; exit 1; }
xdotool key shift+alt+z
sleep 0.4
marked || { echo "Shift+Alt+Z did not toggle the pixel again: $(title)"; exit 1; }

# Quit with the pixel not stored: the question comes up, the program stays.
shown=$(windows)
xdotool key alt+q
for _ in $(seq 100); do [ "$(windows)" -gt "$shown" ] && break; sleep 0.05; done
[ "$(windows)" -gt "$shown" ] || { echo "quitting with a pixel not stored asked nothing"; exit 1; }
sleep 0.5
kill -0 "$app" 2>/dev/null || { echo "the program quit with the pixel not stored"; exit 1; }
xdotool key Escape
for _ in $(seq 100); do [ "$(windows)" -le "$shown" ] && break; sleep 0.05; done
sleep 0.3
kill -0 "$app" 2>/dev/null || { echo "Cancel did not keep the program"; exit 1; }
marked || { echo "Cancel lost the pixel: $(title)"; exit 1; }
cmp -s "$font" "$work/font.ttf" || { echo "Cancel wrote the file"; exit 1; }

# Asked again, Return is "Save": the pixel is stored, the file saved, and
# the program ends.
xdotool key alt+q
for _ in $(seq 100); do [ "$(windows)" -gt "$shown" ] && break; sleep 0.05; done
sleep 0.5
xdotool key Return
for _ in $(seq 200); do kill -0 "$app" 2>/dev/null || break; sleep 0.05; done
if kill -0 "$app" 2>/dev/null; then echo "Save did not end the program"; exit 1; fi
wait "$app" || { echo "the program failed"; cat "$work/err.txt"; exit 1; }
app=""

ots-sanitize "$work/font.ttf" >/dev/null || { echo "OTS refused the saved font"; exit 1; }
pixels "$font" >"$work/before.txt"
pixels "$work/font.ttf" >"$work/after.txt"
"$python" - "$work/before.txt" "$work/after.txt" <<'PY'
import sys
before = open(sys.argv[1]).read().split("\n")
after = open(sys.argv[2]).read().split("\n")
if len(before) != len(after):
    sys.exit("the saved font has %d bitmaps, the original %d" % (len(after), len(before)))
changed = [(b, a) for b, a in zip(before, after) if b != a]
if len(changed) != 1:
    sys.exit("%d bitmaps changed" % len(changed))
b, a = changed[0][0].split()[-1], changed[0][1].split()[-1]
flipped = sum(x != y for x, y in zip(b, a))
if len(b) != len(a) or flipped != 1:
    sys.exit("%d pixels changed: %s -> %s" % (flipped, b, a))
print("one pixel changed in glyph %s" % changed[0][0].split()[3])
PY
echo "a pixel toggled, undone, redone, quit asked and cancelled, stored and saved on quitting"
