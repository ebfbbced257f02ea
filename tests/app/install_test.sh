#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks every file a desktop reads with the
# desktop's own tools: the launcher, the document type, the icon, the thumbnailer run as a
# file manager runs it, and the manual pages; then builds the Debian package and reads its
# dependencies back.
#
# Usage: install_test.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
build="$1" src="$2"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fails=0
check() { # what command...: passes when the command succeeds
    local what="$1"
    shift
    if "$@"; then echo "ok: $what"; else echo "FAIL: $what" >&2; fails=$((fails + 1)); fi
}

p="$work/prefix" share="$work/prefix/share"
cmake --install "$build" --prefix "$p" >/dev/null || exit 1
for f in bin/velko bin/velko-render share/applications/velko.desktop share/mime/packages/velko.xml \
    share/icons/hicolor/scalable/apps/velko.svg share/icons/hicolor/256x256/apps/velko.png \
    share/thumbnailers/velko.thumbnailer share/man/man1/velko.1.gz share/man/man1/velko-render.1.gz \
    share/doc/velko/copyright share/doc/velko/changelog.gz; do
    check "installed $f" test -s "$p/$f"
done

desktop="$share/applications/velko.desktop"
out=$(desktop-file-validate "$desktop" 2>&1)
check "desktop-file-validate accepts the launcher${out:+: $out}" test -z "$out"
check "the launcher opens documents of the type" grep -qzP 'Exec=velko %f\n(.*\n)*MimeType=application/x-velko;' "$desktop"
check "the type's XML and the icon's SVG are well formed" \
    xmllint --noout "$share/mime/packages/velko.xml" "$share/icons/hicolor/scalable/apps/velko.svg"
cp -r "$share/mime" "$work/mime"
update-mime-database "$work/mime" >/dev/null 2>&1
check "the desktop's database takes the type's glob" grep -q 'application/x-velko:\*\.velko' "$work/mime/globs2"
check "and its magic, the document's first line" grep -qa 'tbff .1' "$work/mime/magic"
check "the PNG icon is 256 px" test "$(identify -format '%m %wx%h' "$share/icons/hicolor/256x256/apps/velko.png")" = "PNG 256x256"

# The thumbnailer as a file manager runs it: %i the document, %s the size, %o an output name
# that may have no extension
exec_line=$(sed -n 's/^Exec=//p' "$share/thumbnailers/velko.thumbnailer")
check "the thumbnailer fits the doll" test "$exec_line" = 'velko-render %i --fit --size %sx%s -o %o'
thumbnail() { # document output
    local cmd="${exec_line//%i/$1}"
    cmd="${cmd//%s/128}"
    PATH="$p/bin:$PATH" bash -c "${cmd//%o/$2}" 2>/dev/null
}
thumbnail "$src/examples/juggler.velko" "$work/thumb"
check "a valid document gives a PNG of at most 128 px a side" \
    test $? -eq 0 -a "$(identify -format '%m %w %h' "$work/thumb")" = "PNG 128 128"
# Framed on the doll: the stage's empty right part would leave the picture's right side white
ink=$(convert "$work/thumb" -crop 30x128+90+0 +repage -fill black +opaque white \
    -format '%[fx:int(w*h*(1-mean))]' info:)
check "the doll fills the picture ($ink pixels drawn in its right part)" test "$ink" -gt 10
printf 'not a doll\n' >"$work/bad.velko"
thumbnail "$work/bad.velko" "$work/bad-thumb"
check "a bad document exits 2 and leaves no file" test $? -eq 2 -a ! -e "$work/bad-thumb"

for page in velko.1 velko-render.1; do
    warnings=$(zcat "$share/man/man1/$page.gz" | groff -ww -man -Tutf8 2>&1 >/dev/null)
    check "groff -ww -man $page${warnings:+: $warnings}" test -z "$warnings"
done

# The Debian package, its dependencies computed from the programs
(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" 2>&1) ||
    cat "$work/cpack.log"
deb=$(ls "$work"/pkg/*.deb 2>/dev/null | head -1)
check "cpack -G DEB made a package" test -n "$deb"
depends=$(dpkg-deb -f "$deb" Depends 2>/dev/null)
echo "package: $(basename "$deb"), $(stat -c %s "$deb" 2>/dev/null) bytes; Depends: $depends"
check "it depends on the C library and the toolkit's library" grep -q 'libc6.*libglut' <<<"$depends"
contents=$(dpkg-deb -c "$deb" 2>/dev/null)
for f in ./usr/bin/velko ./usr/bin/velko-render ./usr/share/applications/velko.desktop \
    ./usr/share/doc/velko/copyright ./usr/share/man/man1/velko.1.gz; do
    check "the package holds $f" grep -q " $f\$" <<<"$contents"
done
dpkg-deb -x "$deb" "$work/unpacked"
for f in velko velko-render; do
    check "its $f is stripped" grep -q ', stripped' <<<"$(file "$work/unpacked/usr/bin/$f")"
done

[ "$fails" -eq 0 ] && echo "install passed" || echo "install failed: $fails check(s)"
exit $((fails > 0))
