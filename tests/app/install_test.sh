#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks every file a desktop reads: the two
# programs, the launcher, the document type (with what the desktop's own tool makes of it),
# the icon, the thumbnailer run the way a file manager runs it, and the manual pages; then
# builds the Debian package and reads its dependencies back.
#
# Usage: install_test.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
build="$1" src="$2"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fails=0
fail() { echo "FAIL: $*" >&2; fails=$((fails + 1)); }
ok() { echo "ok: $*"; }
check() { # what command...: passes when the command succeeds
    local what="$1"
    shift
    if "$@"; then ok "$what"; else fail "$what"; fi
}

p="$work/prefix"
cmake --install "$build" --prefix "$p" >"$work/install.log" || { cat "$work/install.log"; exit 1; }
share="$p/share"
for f in bin/velko bin/velko-render share/applications/velko.desktop share/mime/packages/velko.xml \
    share/icons/hicolor/scalable/apps/velko.svg share/icons/hicolor/256x256/apps/velko.png \
    share/thumbnailers/velko.thumbnailer share/man/man1/velko.1 share/man/man1/velko-render.1; do
    check "installed $f" test -s "$p/$f"
done
check "the programs can be run" test -x "$p/bin/velko" -a -x "$p/bin/velko-render"

# The launcher: valid, opening documents of the type
desktop="$share/applications/velko.desktop"
out=$(desktop-file-validate "$desktop" 2>&1)
check "desktop-file-validate accepts the launcher${out:+: $out}" test -z "$out"
check "the launcher opens a document" grep -qx 'Exec=velko %f' "$desktop"
check "the launcher names the type" grep -qx 'MimeType=application/x-velko;' "$desktop"

# The type: well formed, and the desktop's database takes its glob and its magic
check "the type's XML is well formed" xmllint --noout "$share/mime/packages/velko.xml"
check "the icon's SVG is well formed" xmllint --noout "$share/icons/hicolor/scalable/apps/velko.svg"
cp -r "$share/mime" "$work/mime"
update-mime-database "$work/mime" 2>"$work/mime.log"
check "update-mime-database made the type" test -s "$work/mime/application/x-velko.xml"
check "its glob is *.velko" grep -q 'application/x-velko:\*\.velko' "$work/mime/globs2"
check "its magic is the document's first line" grep -qa 'tbff .1' "$work/mime/magic"
check "the PNG icon is 256 px" test "$(identify -format '%m %wx%h' \
    "$share/icons/hicolor/256x256/apps/velko.png")" = "PNG 256x256"

# The thumbnailer, run as a file manager runs it: %i the document, %s the size, %o an output
# name that may have no extension
exec_line=$(sed -n 's/^Exec=//p' "$share/thumbnailers/velko.thumbnailer")
check "the thumbnailer fits the doll" test "$exec_line" = 'velko-render %i --fit --size %sx%s -o %o'
thumbnail() { # document size output
    local cmd="${exec_line//%i/$1}"
    cmd="${cmd//%s/$2}"
    cmd="${cmd//%o/$3}"
    PATH="$p/bin:$PATH" bash -c "$cmd" 2>>"$work/thumb.log"
}
thumbnail "$src/examples/juggler.velko" 128 "$work/thumb"
status=$?
check "a thumbnail of a valid document" test "$status" -eq 0
size=$(identify -format '%m %w %h' "$work/thumb" 2>/dev/null)
set -- $size
check "it is a PNG of at most 128 px a side ($size)" \
    test "${1:-}" = PNG -a "${2:-999}" -le 128 -a "${3:-999}" -le 128
# Framed on the doll, not the stage: the stage's empty right part would leave the right
# third of the picture white
ink=$(convert "$work/thumb" -crop 30x128+90+0 +repage -fill black +opaque white \
    -format '%[fx:int(w*h*(1-mean))]' info:)
check "the doll fills the picture ($ink pixels drawn in its right part)" test "$ink" -gt 10
printf 'not a doll\n' >"$work/bad.velko"
thumbnail "$work/bad.velko" 128 "$work/bad-thumb"
status=$?
check "a bad document exits 2" test "$status" -eq 2
check "and leaves no file" test ! -e "$work/bad-thumb"

# The manual pages are clean for groff's every warning
for page in velko.1 velko-render.1; do
    warnings=$(groff -ww -man -Tutf8 "$share/man/man1/$page" 2>&1 >/dev/null)
    check "groff -ww -man $page${warnings:+: $warnings}" test -z "$warnings"
done

# The Debian package, its dependencies computed from the programs
(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" 2>&1) ||
    { cat "$work/cpack.log"; fail "cpack -G DEB"; }
deb=$(ls "$work"/pkg/*.deb 2>/dev/null | head -1)
if [ -n "$deb" ]; then
    info=$(dpkg-deb -I "$deb")
    depends=$(echo "$info" | sed -n 's/^ *Depends: //p')
    echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes; Depends: $depends"
    check "it depends on the C library" grep -q 'libc6' <<<"$depends"
    check "and on the toolkit's library" grep -q 'glut' <<<"$depends"
    contents=$(dpkg-deb -c "$deb")
    for f in ./usr/bin/velko ./usr/bin/velko-render ./usr/share/applications/velko.desktop \
        ./usr/share/thumbnailers/velko.thumbnailer ./usr/share/man/man1/velko.1; do
        check "the package holds $f" grep -q " $f\$" <<<"$contents"
    done
else
    fail "no package was made"
fi

if [ "$fails" -eq 0 ]; then echo "install passed"; exit 0; fi
echo "install failed: $fails check(s)"
exit 1
