#!/usr/bin/env bash
# Runs the real program on an X server of its own (Xvfb) with a font on its
# command line and edits two tables with xdotool, as a user would: in the
# "name" editor it adds a record typed in several scripts, in the "gasp"
# editor it changes a range picked from the list and adds another; then it
# saves through the save panel, quits, and checks the written file with OTS
# and fontTools. Usage: editors_on_xvfb.sh PROGRAM FONT PYTHON
set -euo pipefail
program=$1 font=$2 python=$3
work=$(mktemp -d)
xvfb=""
app=""
cleanup() {
    [ -n "$app" ] && kill "$app" 2>/dev/null || true
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 200); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=:$(head -1 "$work/display")

HOME=$work "$program" "$font" >"$work/out.txt" 2>"$work/err.txt" &
app=$!
window=""
for _ in $(seq 200); do
    window=$(xdotool search --name '^tavrel ver\.0\.011$' 2>/dev/null | head -1 || true)
    [ -n "$window" ] && break
    sleep 0.05
done
[ -n "$window" ] || { echo "no main window"; cat "$work/err.txt"; exit 1; }
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$window")"
left=$X top=$Y

# A click at window coordinates; table views start 53 pixels down.
click() { xdotool mousemove $((left + $1)) $((top + $2)) click 1; sleep 0.25; }
in_table() { click "$1" $((53 + $2)); }
typed() { xdotool type --delay 40 "$1"; sleep 0.25; }

# The selector column of a tag: its place in the font's directory.
column() {
    "$python" -c '
import struct, sys
data = open(sys.argv[1], "rb").read()
n = struct.unpack(">H", data[4:6])[0]
tags = [data[12 + 16 * i:16 + 16 * i] for i in range(n)]
print(tags.index(sys.argv[2].encode()))' "$font" "$1"
}
choose() { click $((10 + 30 * $(column "$1") + 8)) 45; }

# name: "add", the four IDs, a family name in Latin, CJK and an emoji, "set".
family='Tavrel ñé 漢字 😀'
choose name
in_table 45 420
for field in "110 3" "230 1" "350 409" "470 1"; do
    set -- $field
    in_table "$1" 460
    typed "$2"
done
in_table 300 490
typed "$family"
in_table 520 459
import -window root "$work/name.png"

# gasp: the first range (size 8, grayscale) gets grid-fitting too; "add",
# size 10 (hexadecimal: 16) with grid-fitting alone, "set".
choose gasp
in_table 60 28
in_table 146 460
in_table 520 459
in_table 45 420
in_table 100 460
typed "10"
in_table 146 460
in_table 520 459
import -window root "$work/gasp.png"

# File > Save as, a name, Enter.
click 15 10
sleep 0.2
click 40 76
panel=""
for _ in $(seq 100); do
    panel=$(xdotool search --name '^Save$' 2>/dev/null | head -1 || true)
    [ -n "$panel" ] && break
    sleep 0.05
done
[ -n "$panel" ] || { echo "no save panel"; exit 1; }
sleep 0.3
xdotool type --window "$panel" --delay 20 "edited.ttf"
xdotool key --window "$panel" Return || true
for _ in $(seq 200); do [ -s "$work/edited.ttf" ] && break; sleep 0.05; done
[ -s "$work/edited.ttf" ] || { echo "nothing was saved"; cat "$work/err.txt"; exit 1; }
sleep 0.3

# File > Quit.
click 15 10
sleep 0.2
click 30 117
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.05; done
if kill -0 "$app" 2>/dev/null; then echo "Quit did not end the program"; exit 1; fi
wait "$app" || { echo "the program failed"; cat "$work/err.txt"; exit 1; }
app=""

[ -n "${TAVREL_SCREENSHOT_DIR:-}" ] && cp "$work/name.png" "$work/gasp.png" "$TAVREL_SCREENSHOT_DIR/"
ots-sanitize "$work/edited.ttf" >/dev/null || { echo "OTS refused the saved font"; exit 1; }
"$python" - "$work/edited.ttf" "$family" <<'EOF'
import sys
from fontTools.ttLib import TTFont

font = TTFont(sys.argv[1])
family = font["name"].getName(1, 3, 1, 0x409)
if family is None or family.toUnicode() != sys.argv[2]:
    sys.exit("family name read back as %r" % (family and family.toUnicode(),))
ranges = sorted(font["gasp"].gaspRange.items())
if ranges != [(8, 3), (16, 1), (0xFFFF, 3)]:
    sys.exit("gasp ranges read back as %r" % (ranges,))
print("name and gasp edited on the desktop and read back")
EOF
