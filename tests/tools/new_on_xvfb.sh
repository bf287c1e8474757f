#!/usr/bin/env bash
# Runs the real program on an X server of its own (Xvfb) and builds a new
# font as a user does, with xdotool: File > New, the BASIC_LATIN box ticked,
# "set", File > Save as with a name typed, File > Quit; then checks the
# written file with OTS, fontTools and FreeType.
# Usage: new_on_xvfb.sh PROGRAM PYTHON CHECK_FONT_SCRIPT FT_CHECK [SCREENSHOT_DIR]
set -euo pipefail
program=$1 python=$2 check=$3 ftcheck=$4 shots=${5:-}
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

HOME=$work "$program" >"$work/out.txt" 2>"$work/err.txt" &
app=$!
window=""
for _ in $(seq 200); do
    window=$(xdotool search --name '^tavrel ver\.0\.011$' 2>/dev/null | head -1 || true)
    [ -n "$window" ] && break
    sleep 0.05
done
[ -n "$window" ] || { echo "no main window"; cat "$work/err.txt"; exit 1; }
sleep 0.5
geometry() {
    eval "$(xdotool getwindowgeometry --shell "$window")"
    left=$X top=$Y
}
geometry

# File > New; the window takes its standard size for the set-up view.
xdotool mousemove $((left + 15)) $((top + 10)) click 1
sleep 0.4
xdotool mousemove $((left + 40)) $((top + 34)) click 1
sleep 0.8
geometry
# The BASIC_LATIN box, then "set".
xdotool mousemove $((left + 30)) $((top + 53 + 17)) click 1
sleep 0.4
[ -n "$shots" ] && import -window root "$shots/new_on_xvfb_setup.png"
xdotool mousemove $((left + 520)) $((top + 53 + 497)) click 1
sleep 1
geometry
[ -n "$shots" ] && import -window root "$shots/new_on_xvfb_font.png"

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
xdotool type --window "$panel" --delay 20 "new.ttf"
xdotool key --window "$panel" Return || true
for _ in $(seq 200); do [ -s "$work/new.ttf" ] && break; sleep 0.05; done
[ -s "$work/new.ttf" ] || { echo "nothing was saved"; cat "$work/err.txt"; exit 1; }
sleep 0.3

# File > Quit.
xdotool mousemove $((left + 15)) $((top + 10)) click 1
sleep 0.4
xdotool mousemove $((left + 30)) $((top + 117)) click 1
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.05; done
if kill -0 "$app" 2>/dev/null; then echo "Quit did not end the program"; exit 1; fi
wait "$app" || { echo "the program failed"; cat "$work/err.txt"; exit 1; }
app=""

grep -qx 'tavrel:save' "$work/out.txt" || { echo "no tavrel:save line"; exit 1; }
ots-sanitize "$work/new.ttf" >/dev/null || { echo "OTS refused the new font"; exit 1; }
"$python" "$check" "$work/new.ttf"
"$ftcheck" "$work/new.ttf" 41 16
echo "new font built, saved and checked"
