#!/usr/bin/env bash
# Runs the real program on an X server of its own (Xvfb) with a copy of a
# font and, with xdotool as a user does: edits maxStackElements in the maxp
# view (the title gains " *"), undoes it with Alt+Z (the mark goes) and
# redoes it with Shift+Alt+Z, asks to quit with Alt+Q (the question comes
# up; Escape cancels and the window stays), saves with Alt+S over the file
# it opened, and quits with Alt+Q, which now ends the program at once.
# Usage: undo_on_xvfb.sh PROGRAM FONT PYTHON
set -euo pipefail
program=$1 font=$2 python=$3
source "$(dirname "$0")/xvfb_session.sh"
cp "$font" "$work/font.ttf"
chmod u+w "$work/font.ttf"
start_program "$program" "$work/font.ttf"

title() { xdotool getwindowname "$window"; }
marked() { case "$(title)" in *" *") return 0 ;; *) return 1 ;; esac; }
stack() { stack_of "$work/font.ttf"; }
windows() { xdotool search --pid "$app" 2>/dev/null | wc -l; }

before=$(stack)
marked && { echo "a font just opened is marked changed: $(title)"; exit 1; }

show_table "$work/font.ttf" maxp
type_stack 1234
sleep 0.5
marked || { echo "the edit did not mark the title: $(title)"; exit 1; }

xdotool key alt+z
sleep 0.5
marked && { echo "undo did not clear the mark: $(title)"; exit 1; }
xdotool key shift+alt+z
sleep 0.5
marked || { echo "redo did not mark the title again: $(title)"; exit 1; }

# Quit with a change: the question comes up; Escape is Cancel.
shown=$(windows)
xdotool key alt+q
for _ in $(seq 100); do [ "$(windows)" -gt "$shown" ] && break; sleep 0.05; done
[ "$(windows)" -gt "$shown" ] || { echo "quitting with a change asked nothing"; exit 1; }
sleep 0.3
xdotool key Escape
for _ in $(seq 100); do [ "$(windows)" -le "$shown" ] && break; sleep 0.05; done
sleep 0.3
kill -0 "$app" 2>/dev/null || { echo "Cancel did not keep the program"; exit 1; }
marked || { echo "Cancel lost the change: $(title)"; exit 1; }
[ "$(stack)" = "$before" ] || { echo "Cancel saved the font"; exit 1; }

# Alt+S writes over the file that was opened. The keyboard returns to the
# main window when the question closes, with no window manager to give it.
xdotool key alt+s
for _ in $(seq 100); do [ "$(stack)" = "1234" ] && break; sleep 0.05; done
[ "$(stack)" = "1234" ] || { echo "Alt+S did not save the edit: $(stack)"; exit 1; }
sleep 0.3
marked && { echo "the title is still marked after saving: $(title)"; exit 1; }

# Nothing left to save: Alt+Q ends the program.
xdotool key alt+q
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.05; done
if kill -0 "$app" 2>/dev/null; then echo "Alt+Q did not end the program"; exit 1; fi
wait "$app" || { echo "the program failed"; cat "$work/err.txt"; exit 1; }
app=""
echo "edited, undone, redone, quit cancelled, saved with Alt+S and quit on the desktop"
