#!/usr/bin/env bash
# Fails when a layer includes a layer above it. The layers, lowest first:
# kit; font with outline; check; editor, preview, overview and checkwindow
# beside each other; app. Given a source tree's top folder.
set -uo pipefail
src="${1:?usage: check_layering.sh SOURCE_DIR}/src"
status=0

# forbid LAYER ABOVE...: LAYER's files may include none of ABOVE.
forbid() {
    local layer=$1
    shift
    local above
    above=$(IFS='|'; echo "$*")
    [ -d "$src/$layer" ] || return 0
    local found
    found=$(grep -rnE "^[[:space:]]*#[[:space:]]*include[[:space:]]*[<\"](\.\./)*(src/)?($above)/" \
        "$src/$layer" --include='*.h' --include='*.cpp')
    if [ -n "$found" ]; then
        echo "$layer includes a layer above it:"
        echo "$found"
        status=1
    fi
}

forbid kit font outline check checkwindow editor preview overview app
forbid font check checkwindow editor preview overview app
forbid outline check checkwindow editor preview overview app
forbid check checkwindow editor preview overview app
forbid checkwindow editor preview overview app
forbid editor checkwindow preview overview app
forbid preview editor checkwindow overview app
forbid overview editor checkwindow preview app
exit $status
