#!/usr/bin/env bash
# Runs the real program on an X server of its own (Xvfb) at several display
# scales: the main window's size on the screen follows the scale's source
# (TAVREL_SCALE over GDK_SCALE over Xft.dpi in the X resources), and at
# GDK_SCALE=2 a press on the "glyf" tag's place on the screen shows the
# glyph editor, drawn at twice the size. Screenshots go to
# $TAVREL_SCREENSHOT_DIR when it is set.
# Usage: scale_on_xvfb.sh PROGRAM FONT PYTHON
set -euo pipefail
program=$1 font=$2 python=$3
source "$(dirname "$0")/xvfb_session.sh"

size_of() {
    eval "$(xdotool getwindowgeometry --shell "$window")"
    echo "$WIDTH $HEIGHT"
}
stop_program() {
    kill "$app" 2>/dev/null || true
    wait "$app" 2>/dev/null || true
    app=""
}
# The colour of screen pixel ($2, $3) in screenshot $1, as "R,G,B".
pixel() {
    convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}
shoot() {
    import -window root "$work/$1.png"
    [ -n "${TAVREL_SCREENSHOT_DIR:-}" ] && cp "$work/$1.png" "$TAVREL_SCREENSHOT_DIR/" || true
}
# Starts the program with the given scale settings and no others.
start_scaled() {
    start_program env -u GDK_SCALE -u TAVREL_SCALE "$@" "$program" "$font"
}

start_scaled
read -r width height < <(size_of)
stop_program

# Each source alone, and the override over the others: the expected factor
# in tenths.
check_size() {
    local tenths=$1 name=$2
    shift 2
    start_scaled "$@"
    read -r w h < <(size_of)
    local want_w=$(((width * tenths + 5) / 10)) want_h=$(((height * tenths + 5) / 10))
    if [ "$w" != "$want_w" ] || [ "$h" != "$want_h" ]; then
        echo "$name: window is ${w}x${h}, expected ${want_w}x${want_h} (${width}x${height} at 1)"
        exit 1
    fi
}

# At GDK_SCALE=2: the glyph editor by a press at the tag's place.
check_size 20 "GDK_SCALE=2" GDK_SCALE=2
shoot main_window_scale_2
column=$("$python" -c '
import struct, sys
data = open(sys.argv[1], "rb").read()
n = struct.unpack(">H", data[4:6])[0]
print([data[12 + 16 * i:16 + 16 * i] for i in range(n)].index(b"glyf"))' "$font")
xdotool mousemove $((left + 2 * (10 + 30 * column + 8))) $((top + 2 * 45)) click 1
sleep 0.8
shoot glyph_editor_scale_2
# The palette (amber) fills the view's left 50 logical pixels: 100 on the
# screen, from 2 x 53 down (between its entries and its tools).
for x in 10 90; do
    got=$(pixel "$work/glyph_editor_scale_2.png" $((left + x)) $((top + 2 * 53 + 180)))
    [ "$got" = "255,204,68" ] || { echo "no palette at screen x $x: $got"; exit 1; }
done
got=$(pixel "$work/glyph_editor_scale_2.png" $((left + 130)) $((top + 2 * 53 + 180)))
[ "$got" != "255,204,68" ] || { echo "the palette is wider than 100 screen pixels"; exit 1; }
stop_program

check_size 15 "TAVREL_SCALE=1.5" TAVREL_SCALE=1.5
xdotool mousemove $((left + (3 * (10 + 30 * column + 8) + 1) / 2)) $((top + 3 * 45 / 2)) click 1
sleep 0.8
shoot glyph_editor_scale_1.5
stop_program
check_size 10 "TAVREL_SCALE=1 over GDK_SCALE=2" TAVREL_SCALE=1 GDK_SCALE=2
stop_program
check_size 10 "GDK_SCALE=garbage" GDK_SCALE=garbage
stop_program
xprop -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "Xft.dpi:	192
"
check_size 20 "Xft.dpi 192" 
stop_program
check_size 30 "GDK_SCALE=3 over Xft.dpi 192" GDK_SCALE=3
stop_program
echo "scaled windows checked on the desktop"
