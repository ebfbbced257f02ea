#!/usr/bin/env bash
# Exports as a person makes them and as a browser shows them. In the editor, with the example
# doll open: File > Export Options… through the real zenity form (400x240 typed, the rest
# kept), then Export Animation as a WebP and as a sprite sheet and Export Picture as an SVG
# through the real chooser; each is the file velko-render writes with the same options. Then
# every format, loaded by a page on localhost in a headless Chromium: each decodes at its
# size, the animations with every frame, the videos with their length.
source "$(dirname "$0")/lib.sh"
render="$(dirname "$1")/velko-render"
here=$(cd "$(dirname "$0")" && pwd)
docs="$E2E_OUT/docs"
rm -rf "$docs"
mkdir -p "$docs"
cp "$here/../../examples/juggler.velko" "$docs/"
e2e_start "$1" 800x480 "$docs/juggler.velko"
e2e_click 500 300 0.1 # hurries the splash
e2e_wait_for_editor start || e2e_finish

# File > Export Options…
e2e_menu_item 300 120 0 $E2E_EXPORT_OPTIONS options-menu
dlg=$(e2e_dialog "Export Options")
if [ -n "$dlg" ]; then
    xdotool type --delay 20 "400x240"
    e2e_screen options-form
    # Past the other five fields and Cancel to OK
    xdotool key Tab Tab Tab Tab Tab Tab Tab Return
    sleep 0.5
    e2e_refocus
else
    e2e_fail "no Export Options form"
fi

# Names a file in the export chooser opened by KEY, titled by its command, and waits for it
# to be written
export_as() {
    e2e_key "$1"
    local title="Export Picture"
    [ "$1" = ctrl+shift+e ] && title="Export Animation"
    if [ -z "$(e2e_dialog "^$title$")" ]; then
        e2e_fail "no export chooser for $2"
        return
    fi
    xdotool key ctrl+a
    xdotool type --delay 20 "$docs/$2"
    xdotool key Return
    for _ in $(seq 100); do
        [ -s "$docs/$2" ] && break
        sleep 0.2
    done
    sleep 0.5
    e2e_refocus
}
export_as ctrl+shift+e juggler.webp
export_as ctrl+shift+e frames.png
export_as ctrl+e still.svg
e2e_shot after-exports
e2e_expect_ge "Exported still.svg on the status line" "$(e2e_count after-exports 70 462 588 476 0,0,0)" 40
e2e_stop

# The editor's files are velko-render's with the same options
doc="$docs/juggler.velko"
"$render" "$doc" --animation --fit --size 400x240 -o "$docs/render.webp"
"$render" "$doc" --sprites --fit --size 400x240 -o "$docs/render-frames.png"
"$render" "$doc" --fit --size 400x240 -o "$docs/render.svg"
for pair in juggler.webp:render.webp frames.png:render-frames.png frames.json:render-frames.json \
    still.svg:render.svg; do
    e2e_expect_eq "the editor's ${pair%%:*} is velko-render's" \
        "$(cmp -s "$docs/${pair%%:*}" "$docs/${pair##*:}" && echo same)" same
done
for ext in gif apng mp4 webm png; do
    kind=--animation
    [ $ext = png ] && kind=
    "$render" "$doc" $kind --fit --size 400x240 -o "$docs/juggler.$ext" || e2e_fail "juggler.$ext"
done

# Every file in Chromium, served from localhost
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cp "$here/exports_page.html" "$docs/"
python3 -m http.server --bind 127.0.0.1 --directory "$docs" "$port" >/dev/null 2>&1 &
server=$!
sleep 1
files=juggler.png,still.svg,juggler.gif,juggler.webp,juggler.apng,frames.png,juggler.mp4,juggler.webm
result=$(python3 "$here/browse.py" "http://127.0.0.1:$port/exports_page.html?files=$files" \
    "$E2E_OUT/browser.png")
kill "$server"
wait "$server" 2>/dev/null
echo "$result"
python3 - "$docs/frames.json" "${result#RESULT }" <<'EOF' || e2e_fail "what Chromium made of the files"
import json, sys
atlas, seen = json.load(open(sys.argv[1])), json.loads(sys.argv[2])
frames = len(atlas["frames"])
seconds = sum(f["duration_ms"] for f in atlas["frames"]) / 1000
sheet = "%dx%d" % (atlas["size"]["w"], atlas["size"]["h"])
for name, what in seen.items():
    assert "error" not in what, (name, what)
    assert what["size"] == (sheet if name == "frames.png" else "400x240"), (name, what)
    if name.endswith((".gif", ".webp", ".apng")):
        assert what["frames"] == frames and what["last"] == "400x240", (name, what)
    if name.endswith((".mp4", ".webm")):
        assert abs(what["seconds"] - seconds) <= 1 / atlas["fps"], (name, what, seconds)
    else:
        assert what["ink"] > 500, (name, what)  # the doll is drawn
print("ok: Chromium decodes all %d files, %d frames an animation" % (len(seen), frames))
EOF
e2e_finish
