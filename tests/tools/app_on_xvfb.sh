#!/usr/bin/env bash
# Runs the real program on an X server of its own (Xvfb) with a font on its
# command line: clicks the "head" tag with xdotool, saves through the save
# panel, quits from the menu, then checks the written file with OTS and
# fontTools. Usage: app_on_xvfb.sh PROGRAM FONT PYTHON CHECK_FONT_SCRIPT
set -euo pipefail
program=$1 font=$2 python=$3 check=$4
work=$(mktemp -d)
xvfb=""
app=""
cleanup() {
    [ -n "$app" ] && kill "$app" 2>/dev/null || true
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display and names it once it takes connections.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 200); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=:$(head -1 "$work/display")

# The save panel starts in the home folder.
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

# The selector's column of "head": the tag's place in the font's directory.
index=$("$python" -c '
import struct, sys
data = open(sys.argv[1], "rb").read()
n = struct.unpack(">H", data[4:6])[0]
tags = [data[12 + 16 * i:16 + 16 * i] for i in range(n)]
print(tags.index(b"head"))' "$font")
xdotool mousemove $((left + 10 + 30 * index + 8)) $((top + 45)) click 1
sleep 0.5
import -window root "$work/head.png"
red=$(convert "$work/head.png" -crop 30x14+$((left + 10 + 30 * index))+$((top + 38)) \
    -fx '(r>0.8 && g<0.35 && b<0.25) ? 1 : 0' -format '%[fx:mean*w*h]' info:)
if [ "${red%.*}" -lt 5 ]; then echo "the head tag is not highlighted"; exit 1; fi

# File > Save as, a name, Enter.
xdotool mousemove $((left + 15)) $((top + 10)) click 1
sleep 0.4
xdotool mousemove $((left + 40)) $((top + 76)) click 1
panel=""
for _ in $(seq 100); do
    panel=$(xdotool search --name '^Save$' 2>/dev/null | head -1 || true)
    [ -n "$panel" ] && break
    sleep 0.05
done
[ -n "$panel" ] || { echo "no save panel"; exit 1; }
sleep 0.3
xdotool type --window "$panel" --delay 20 "saved.ttf"
# Return closes the panel, so xdotool's key release may find its window gone
# and fail; whether the file was saved is checked next.
xdotool key --window "$panel" Return || true
for _ in $(seq 200); do [ -s "$work/saved.ttf" ] && break; sleep 0.05; done
[ -s "$work/saved.ttf" ] || { echo "nothing was saved"; cat "$work/err.txt"; exit 1; }
sleep 0.3

# File > Quit ends the program with status 0.
xdotool mousemove $((left + 15)) $((top + 10)) click 1
sleep 0.4
xdotool mousemove $((left + 30)) $((top + 117)) click 1
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.05; done
if kill -0 "$app" 2>/dev/null; then echo "Quit did not end the program"; exit 1; fi
wait "$app" || { echo "the program failed"; cat "$work/err.txt"; exit 1; }
app=""

grep -qx 'tavrel:load' "$work/out.txt" || { echo "no tavrel:load line"; exit 1; }
grep -qx 'tavrel:save' "$work/out.txt" || { echo "no tavrel:save line"; exit 1; }
ots-sanitize "$work/saved.ttf" >/dev/null || { echo "OTS refused the saved font"; exit 1; }
"$python" "$check" "$work/saved.ttf"
echo "saved through the panel and checked"
