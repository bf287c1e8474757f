#!/usr/bin/env bash
# Runs the real program on an X server of its own (Xvfb, 1700 x 1100) with
# a font, shows its glyph editor and resizes the main window with xdotool:
# at its smallest size, 576 x 579 pixels, and grown to 1600 x 1000 with the
# canvas filling it (screenshots of both sizes), and the next run opens at the
# size and place the last one left.
# Usage: resize_on_xvfb.sh PROGRAM FONT [SCREENSHOT_DIR]
set -euo pipefail
program=$1 font=$2 shots=${3:-}
export XVFB_SCREEN=1700x1100x24
source "$(dirname "$0")/xvfb_session.sh"
export XDG_CONFIG_HOME="$work/config"
python=/usr/bin/python3

size_is() {
    sleep 0.6
    eval "$(xdotool getwindowgeometry --shell "$window")"
    [ "$WIDTH" = "$1" ] && [ "$HEIGHT" = "$2" ] ||
        { echo "$3: the window is ${WIDTH}x$HEIGHT, not $1x$2"; exit 1; }
}
# Black pixels (the canvas) right of the palette, between the selector and
# the scroll bar.
canvas_pixels() {
    import -window root "$work/shot.png"
    geometry
    convert "$work/shot.png" -crop "$((WIDTH - 64))x$((HEIGHT - 68))+$((left + 50))+$((top + 53))" \
        +repage -fill white +opaque 'rgb(0,0,0)' -fill black -opaque 'rgb(0,0,0)' \
        -format '%[fx:round((1-mean)*w*h)]' info: 2>/dev/null
}

start_program "$program" "$font"
show_table "$font" glyf
xdotool windowsize "$window" 576 579
size_is 576 579 "the smallest size"
[ -n "$shots" ] && import -window root "$shots/resize_min_on_xvfb.png"
xdotool windowsize "$window" 1600 1000
size_is 1600 1000 "grown"
[ -n "$shots" ] && import -window root "$shots/resize_1600_on_xvfb.png"
# More than a 512-pixel square, all the canvas has at the smallest size.
black=$(canvas_pixels)
[ "$black" -gt 262144 ] || { echo "the canvas does not use the room ($black black pixels)"; exit 1; }
xdotool windowmove "$window" 40 30
sleep 0.5
geometry
quit_program
grep -q '^main.frame=' "$XDG_CONFIG_HOME/tavrel/settings" ||
    { echo "the window's frame was not kept"; cat "$XDG_CONFIG_HOME/tavrel/settings"; exit 1; }

start_program "$program" "$font"
size_is 1600 1000 "the next run"
quit_program
echo "resized to 1600x1000 and kept: $(grep '^main.frame=' "$XDG_CONFIG_HOME/tavrel/settings")"
