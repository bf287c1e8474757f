#!/usr/bin/env bash
# Installs tavrel from a build folder into a fresh prefix (with a space in
# its name) and checks what a desktop needs: the program, a valid desktop
# entry that opens TrueType fonts with that program, and the icon.
# Usage: check_desktop_install.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/my prefix"

fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

program="$prefix/bin/tavrel"
entry="$prefix/share/applications/tavrel.desktop"
icon="$prefix/share/icons/hicolor/scalable/apps/tavrel.svg"
[ -x "$program" ] || fail "no program at $program"
[ -f "$entry" ] || fail "no desktop entry at $entry"
[ -f "$icon" ] || fail "no icon at $icon"

desktop-file-validate "$entry" || fail "desktop-file-validate rejects the entry"

# The file manager runs Exec with the chosen files for %F: it must name
# the installed program, quoted because the prefix has a space.
exec_line=$(grep '^Exec=' "$entry")
[ "$exec_line" = "Exec=\"$program\" %F" ] || fail "unexpected $exec_line"
grep -qx 'MimeType=font/ttf;application/x-font-ttf;' "$entry" || fail "MimeType does not list TrueType"
grep -qx 'Icon=tavrel' "$entry" || fail "Icon does not name the installed icon"

# The desktop database built from the prefix offers tavrel for TrueType
# files under both names.
update-desktop-database "$prefix/share/applications"
cache="$prefix/share/applications/mimeinfo.cache"
grep -qx 'font/ttf=tavrel.desktop;' "$cache" || fail "font/ttf is not associated"
grep -qx 'application/x-font-ttf=tavrel.desktop;' "$cache" || fail "application/x-font-ttf is not associated"

# Launched as a file manager does it (Exec with %F replaced by the chosen
# file), the installed program opens the font: it reports loading it and
# its tables, as it does when started from the command line.
font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
app=""
trap 'if [ -n "$app" ]; then kill $app 2>/dev/null || true; fi; kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 200); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || fail "Xvfb did not start"
command=${exec_line#Exec=}
command=${command/\%F/\"$font\"}
# (Line-buffered, so that its report can be read while it runs; stdbuf
# preloads a library ahead of a sanitizer build's runtime, which that
# runtime then has to be told to allow.)
# exec, so that the job's process is the program itself and can be ended.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0"
DISPLAY=:$(head -1 "$work/display") HOME=$work eval "exec stdbuf -oL $command" >"$work/out.txt" 2>&1 &
app=$!
for _ in $(seq 200); do grep -q 'name=\[head\]' "$work/out.txt" && break; sleep 0.05; done
kill $app 2>/dev/null || true
wait $app 2>/dev/null || true
grep -q 'ttf:load' "$work/out.txt" || fail "the launched program did not load the font: $(cat "$work/out.txt")"
grep -q 'name=\[glyf\]' "$work/out.txt" || fail "the launched program did not list the font's tables"

# A prefix the entry could not name safely is refused, not written.
if cmake --install "$build" --prefix "$work/bad\$prefix" >/dev/null 2>&1; then
  fail "a prefix with \$ was accepted"
fi
echo "desktop install checks passed"
