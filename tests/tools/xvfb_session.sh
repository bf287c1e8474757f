# Sourced by the *_on_xvfb.sh scripts: an X server of their own (Xvfb), the
# real program on it, and the File menu and save panel driven with xdotool.
# Sets `work` (a temporary folder, the program's home), `app` (its process),
# `window`, `left` and `top` (the main window's origin on the screen).

# The File menu's rows, from the window's top.
MENU_NEW=34
MENU_OPEN=55
MENU_RECENT=76
MENU_SAVE=96
MENU_SAVE_AS=117
MENU_ABOUT=138
MENU_QUIT=159

work=$(mktemp -d)
xvfb=""
app=""
session_cleanup() {
    [ -n "$app" ] && kill "$app" 2>/dev/null || true
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap session_cleanup EXIT

# Xvfb picks a free display and names it once it takes connections.
Xvfb -displayfd 3 -screen 0 "${XVFB_SCREEN:-1280x1024x24}" -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 200); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=:$(head -1 "$work/display")

geometry() {
    eval "$(xdotool getwindowgeometry --shell "$window")"
    left=$X top=$Y
}

# Starts the program with these arguments and waits for its main window.
start_program() {
    HOME=$work "$@" >"$work/out.txt" 2>"$work/err.txt" &
    app=$!
    window=""
    for _ in $(seq 200); do
        # "tavrel" alone, or "<file name> — tavrel" with " *" while changed;
        # its alerts, also titled "tavrel", come up above it.
        window=$(xdotool search --pid "$app" --name 'tavrel( \*)?$' 2>/dev/null | head -1 || true)
        [ -n "$window" ] && break
        sleep 0.05
    done
    [ -n "$window" ] || { echo "no main window"; cat "$work/err.txt"; exit 1; }
    sleep 0.5
    geometry
}

# Opens the File menu and chooses the item on row $1.
file_menu() {
    xdotool mousemove $((left + 15)) $((top + 10)) click 1
    sleep 0.4
    xdotool mousemove $((left + 40)) $((top + $1)) click 1
}

# Types the path of $1 in the work folder into the save panel that is about
# to open (it starts in the font's folder) and waits for the file.
save_panel() {
    local panel=""
    # Only a mapped window can take the keyboard: the panel is listed by
    # name before it is mapped, and focusing it then is an X error.
    for _ in $(seq 100); do
        panel=$(xdotool search --onlyvisible --name '^Save font as$' 2>/dev/null | head -1 || true)
        [ -n "$panel" ] && break
        sleep 0.05
    done
    [ -n "$panel" ] || { echo "no save panel"; exit 1; }
    sleep 0.3
    # A shown window takes the keyboard; the keys go through the X server
    # as a user's would, so Return is released even though the panel has
    # gone by then (a key sent to the panel alone would stay held).
    xdotool windowfocus --sync "$panel"
    xdotool type --delay 20 "$work/$1"
    xdotool key Return
    for _ in $(seq 200); do [ -s "$work/$1" ] && break; sleep 0.05; done
    [ -s "$work/$1" ] || { echo "nothing was saved"; cat "$work/err.txt"; exit 1; }
    sleep 0.3
}

# File > Save as, the name $1.
save_as() {
    file_menu $MENU_SAVE_AS
    save_panel "$1"
}

# File > Quit; the program must end with status 0.
quit_program() {
    file_menu $MENU_QUIT
    for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.05; done
    if kill -0 "$app" 2>/dev/null; then echo "Quit did not end the program"; exit 1; fi
    wait "$app" || { echo "the program failed"; cat "$work/err.txt"; exit 1; }
    app=""
}

# The selector column of tag $2 in font file $1: its place in the directory.
tag_column() {
    "$python" -c '
import struct, sys
data = open(sys.argv[1], "rb").read()
n = struct.unpack(">H", data[4:6])[0]
tags = [data[12 + 16 * i:16 + 16 * i] for i in range(n)]
print(tags.index(sys.argv[2].encode()))' "$1" "$2"
}
# Shows the table with tag $2 of font file $1.
show_table() {
    xdotool mousemove $((left + 10 + 30 * $(tag_column "$1" "$2") + 8)) $((top + 45)) click 1
    sleep 0.5
}

# The window at its smallest size, where a table view shows whole and its
# controls are where the scripts click, and `viewtop`, where table views
# start below the menu bar and the selector (in the glyph editor the
# palette is the view's first 50 pixels).
large_window() {
    xdotool windowsize "$window" 576 579
    sleep 0.5
    geometry
    viewtop=$((top + 53))
}
# Clicks point ($1, $2) of the shown table view.
palette() {
    xdotool mousemove $((left + $1)) $((viewtop + $2)) click 1
    sleep 0.4
}
# Shows the glyph of character $1 (hexadecimal): the palette's "chr." entry
# emptied, the code typed, Return.
glyph_of_character() {
    palette 35 20
    xdotool key End
    xdotool key --repeat 6 BackSpace
    xdotool type --delay 30 "$1"
    xdotool key Return
    sleep 0.5
}

# maxStackElements of font file $1 as fontTools reads it (hexadecimal).
stack_of() {
    "$python" -c '
import sys
from fontTools.ttLib import TTFont
print("%04x" % TTFont(sys.argv[1])["maxp"].maxStackElements)' "$1"
}
# Types $1 into the shown maxp view's maxStackElements field, which lies at
# (140..200, 450..470) in the view, and presses Return.
type_stack() {
    xdotool mousemove $((left + 190)) $((top + 53 + 460)) click 1
    sleep 0.3
    xdotool key End
    xdotool key --repeat 8 BackSpace
    xdotool type --delay 30 "$1"
    xdotool key Return
}
