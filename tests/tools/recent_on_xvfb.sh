#!/usr/bin/env bash
# Runs the real program on an X server of its own (Xvfb) with settings that
# list b.ttf and a file since removed among the recent fonts, and a.ttf on
# its command line: File > "Open recent" lists a.ttf (just opened), the
# missing file (greyed) and b.ttf; Down, Down and Return pass over the
# greyed row and open b.ttf, which the title then names.
# Usage: recent_on_xvfb.sh PROGRAM FONT [SCREENSHOT_DIR]
set -euo pipefail
program=$1 font=$2 shots=${3:-}
source "$(dirname "$0")/xvfb_session.sh"
cp "$font" "$work/a.ttf"
cp "$font" "$work/b.ttf"
export XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME/tavrel"
printf 'recent.0=%s/gone.ttf\nrecent.1=%s/b.ttf\n' "$work" "$work" >"$XDG_CONFIG_HOME/tavrel/settings"
start_program "$program" "$work/a.ttf"
[ "$(xdotool getwindowname "$window")" = "a.ttf — tavrel" ] ||
    { echo "a.ttf did not open: $(xdotool getwindowname "$window")"; exit 1; }

xdotool windowfocus --sync "$window"
file_menu $MENU_RECENT
sleep 0.4
[ -n "$shots" ] && import -window root "$shots/open_recent_on_xvfb.png"
xdotool key Down Down Return
for _ in $(seq 100); do
    case "$(xdotool getwindowname "$window")" in "b.ttf — tavrel") break ;; esac
    sleep 0.05
done
title=$(xdotool getwindowname "$window")
[ "$title" = "b.ttf — tavrel" ] || { echo "Open recent did not open b.ttf: $title"; exit 1; }
grep -q "^recent.0=$work/b.ttf\$" "$XDG_CONFIG_HOME/tavrel/settings" ||
    { echo "b.ttf is not first in the settings:"; cat "$XDG_CONFIG_HOME/tavrel/settings"; exit 1; }
quit_program
echo "opened from the recent list: $title"
