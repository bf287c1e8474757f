#!/usr/bin/env bash
# Runs the real program on an X server of its own (Xvfb) with a font on its
# command line and edits two tables through their editors with xdotool:
# in "hmtx", glyphs 24-26 get width 0400 and lsb ffffffce (the preview shows
# its lines); in "cmap", codes e000-e002 are mapped to glyphs 24-26. The font
# is saved through the save panel and the file checked with OTS, fontTools
# and FreeType.
# Usage: metrics_cmap_on_xvfb.sh PROGRAM FONT PYTHON TOOLS_DIR FT_CHECK
set -euo pipefail
program=$1 font=$2 python=$3 tools=$4 ftcheck=$5
source "$(dirname "$0")/xvfb_session.sh"
start_program "$program" "$font"
large_window

# Clicks into the text field whose frame starts at view x $1, empties it,
# types $2 and commits it with Return.
enter_text() {
    xdotool mousemove $((left + $1 + 90)) $((viewtop + 460)) click 1
    sleep 0.2
    xdotool key End
    xdotool key --repeat 12 BackSpace
    xdotool type --delay 20 "$2"
    xdotool key Return
    sleep 0.3
}
press_set() {
    xdotool mousemove $((left + 520)) $((viewtop + 459)) click 1
    sleep 0.5
}

show_table "$font" hmtx
enter_text 20 24
enter_text 140 26
enter_text 260 400
enter_text 380 ffffffce
press_set
# Glyph 24 again: its new metrics come back into the texts and the lines.
enter_text 20 24
import -window root "$work/hmtx.png"
cyan=$(convert "$work/hmtx.png" -crop 300x300+$((left + 100))+$((viewtop + 100)) \
    -fx '(r<0.1 && g>0.9 && b>0.9) ? 1 : 0' -format '%[fx:mean*w*h]' info:)
green=$(convert "$work/hmtx.png" -crop 310x300+$((left + 90))+$((viewtop + 100)) \
    -fx '(r<0.1 && g>0.9 && b<0.1) ? 1 : 0' -format '%[fx:mean*w*h]' info:)
if [ "${cyan%.*}" -lt 250 ] || [ "${green%.*}" -lt 250 ]; then
    echo "the preview's lines are missing (cyan $cyan, green $green)"
    exit 1
fi

show_table "$font" cmap
enter_text 20 e000
enter_text 140 e002
enter_text 260 24
press_set
import -window root "$work/cmap.png"
# Kept to be looked at when asked for.
if [ -n "${TAVREL_SCREENSHOT_DIR:-}" ]; then
    cp "$work/hmtx.png" "$TAVREL_SCREENSHOT_DIR/xvfb_hmtx.png"
    cp "$work/cmap.png" "$TAVREL_SCREENSHOT_DIR/xvfb_cmap.png"
fi

save_as saved.ttf
quit_program

ots-sanitize "$work/saved.ttf" >/dev/null || { echo "OTS refused the saved font"; exit 1; }
"$python" "$tools/check_font.py" "$work/saved.ttf"
"$python" "$tools/cmap_edit_check.py" "$font" "$work/saved.ttf" e000 e002 24
"$python" - "$font" "$work/saved.ttf" <<'PY'
import sys
from fontTools.ttLib import TTFont
before, after = TTFont(sys.argv[1]), TTFont(sys.argv[2])
order = before.getGlyphOrder()
for g, name in enumerate(order):
    want = (0x400, -50) if 0x24 <= g <= 0x26 else tuple(before["hmtx"][name])
    if tuple(after["hmtx"][after.getGlyphOrder()[g]]) != want:
        sys.exit("glyph %d: %s instead of %s" % (g, after["hmtx"][name], want))
print("hmtx: glyphs 24-26 changed, every other glyph as before")
PY
# FreeType maps the new codes to glyphs 24-26 and reads their new width.
"$ftcheck" "$work/saved.ttf" report e000 e001 e002 >"$work/ft.txt"
for g in 0 1 2; do
    grep -qx "U+E00$g index $((0x24 + g)) advance 1024" "$work/ft.txt" ||
        { echo "FreeType read:"; cat "$work/ft.txt"; exit 1; }
done
echo "FreeType reads the new map and widths"
echo "edited hmtx and cmap through their editors, saved and checked"
