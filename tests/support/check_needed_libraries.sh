#!/bin/sh
# Fails when the program $1 needs a shared library other than the C and
# C++ runtime (and the sanitizers' runtimes in a sanitized build): a
# program built only from the font model must not load Cairo, SDL2 or X11.
program=$1
command -v readelf >/dev/null || { echo "readelf is missing"; exit 1; }
needed=$(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
if [ -z "$needed" ]; then
    echo "no shared libraries listed for $program"
    exit 1
fi
status=0
for library in $needed; do
    case $library in
    libstdc++.so.* | libm.so.* | libgcc_s.so.* | libc.so.* | ld-linux*.so.*) ;;
    libasan.so.* | libubsan.so.*) ;;
    *)
        echo "$program needs $library"
        status=1
        ;;
    esac
done
exit $status
