#!/usr/bin/env bash
# Runs the real program on an X server of its own (Xvfb) with a copy of a
# font: edits maxStackElements in the maxp view, waits for the copy of the
# unsaved change in ~/.local/state/tavrel/, kills the program with SIGKILL
# and starts it again. The question comes up; Return ("Recover") opens the
# change as an unsaved change of the file (the title is marked, the file
# still old); Alt+S writes it to the file; Alt+Q quits and leaves no copy.
# Usage: recovery_on_xvfb.sh PROGRAM FONT PYTHON
set -euo pipefail
program=$1 font=$2 python=$3
# The default state folder, below the program's home.
unset XDG_STATE_HOME
source "$(dirname "$0")/xvfb_session.sh"
cp "$font" "$work/font.ttf"
chmod u+w "$work/font.ttf"
state="$work/.local/state/tavrel"
title() { xdotool getwindowname "$window"; }
stack() { stack_of "$1"; }
copies() { ls "$state"/*.ttf 2>/dev/null | wc -l; }
windows() { xdotool search --pid "$app" 2>/dev/null | wc -l; }

before=$(stack "$work/font.ttf")
start_program "$program" "$work/font.ttf"
show_table "$work/font.ttf" maxp
type_stack 1234
for _ in $(seq 100); do [ "$(copies)" -eq 1 ] && break; sleep 0.1; done
[ "$(copies)" -eq 1 ] || { echo "no recovery copy was kept"; ls -la "$state" 2>&1; exit 1; }
[ "$(stack "$state"/*.ttf)" = "1234" ] || { echo "the copy lacks the change"; exit 1; }

kill -9 "$app"
wait "$app" 2>/dev/null || true
app=""
[ "$(stack "$work/font.ttf")" = "$before" ] || { echo "the file changed without a save"; exit 1; }

# Started again, with no file: the question about the copy comes up.
start_program "$program"
for _ in $(seq 100); do [ "$(windows)" -gt 1 ] && break; sleep 0.05; done
[ "$(windows)" -gt 1 ] || { echo "the copy was not offered"; cat "$work/err.txt"; exit 1; }
sleep 0.5
import -window root "$work/offer.png"
xdotool key Return
for _ in $(seq 100); do case "$(title)" in *" *") break ;; esac; sleep 0.05; done
case "$(title)" in *" *") ;; *) echo "Recover did not open the change: $(title)"; exit 1 ;; esac
[ "$(stack "$work/font.ttf")" = "$before" ] || { echo "Recover wrote the file"; exit 1; }

xdotool key alt+s
for _ in $(seq 100); do [ "$(stack "$work/font.ttf")" = "1234" ] && break; sleep 0.05; done
[ "$(stack "$work/font.ttf")" = "1234" ] || { echo "Save did not write the change to the file"; exit 1; }
sleep 0.3
case "$(title)" in *" *") echo "the title is still marked after saving"; exit 1 ;; esac

xdotool key alt+q
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.05; done
if kill -0 "$app" 2>/dev/null; then echo "Alt+Q did not end the program"; exit 1; fi
wait "$app" || { echo "the program failed"; cat "$work/err.txt"; exit 1; }
app=""
[ -z "$(ls -A "$state")" ] || { echo "copies were left: $(ls -A "$state")"; exit 1; }
[ -n "${4:-}" ] && cp "$work/offer.png" "$4/recovery-offer.png"
echo "killed with a change, recovered at the next start, saved to the file and quit"
