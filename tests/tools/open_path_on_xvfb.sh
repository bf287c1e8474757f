#!/usr/bin/env bash
# Runs the real program on an X server of its own (Xvfb) with no font: the
# title is "tavrel"; File > Open shows the panel "Open font", a double-click
# in its path entry selects the folder shown, the font's path is typed
# with "~" for the home folder and Return opens it: the title becomes
# "<file name> — tavrel".
# Usage: open_path_on_xvfb.sh PROGRAM FONT [SCREENSHOT_DIR]
set -euo pipefail
program=$1 font=$2 shots=${3:-}
source "$(dirname "$0")/xvfb_session.sh"
mkdir -p "$work/fonts"
cp "$font" "$work/fonts/typed.ttf"
start_program "$program"
[ "$(xdotool getwindowname "$window")" = "tavrel" ] ||
    { echo "the title without a font: $(xdotool getwindowname "$window")"; exit 1; }

file_menu $MENU_OPEN
panel=""
for _ in $(seq 100); do
    panel=$(xdotool search --onlyvisible --name '^Open font$' 2>/dev/null | head -1 || true)
    [ -n "$panel" ] && break
    sleep 0.05
done
[ -n "$panel" ] || { echo "no open panel"; exit 1; }
sleep 0.3
eval "$(xdotool getwindowgeometry --shell "$panel")"
[ -n "$shots" ] && import -window root "$shots/open_panel_on_xvfb.png"
# A shown window takes the keyboard. The path entry runs along the
# panel's top, right of its "Folder:" label.
xdotool windowfocus --sync "$panel"
xdotool mousemove $((X + 200)) $((Y + 19)) click --repeat 2 --delay 80 1
sleep 0.2
xdotool type --delay 20 "~/fonts/ty"
xdotool key Tab
sleep 0.2
[ -n "$shots" ] && import -window root "$shots/open_panel_typed_on_xvfb.png"
xdotool key Return
for _ in $(seq 100); do
    case "$(xdotool getwindowname "$window")" in "typed.ttf — tavrel") break ;; esac
    sleep 0.05
done
title=$(xdotool getwindowname "$window")
[ "$title" = "typed.ttf — tavrel" ] || { echo "the typed path did not open the font: $title"; exit 1; }
grep -qx 'tavrel:load' "$work/out.txt" || { echo "no tavrel:load line"; exit 1; }
quit_program
echo "opened by a typed path: $title"
