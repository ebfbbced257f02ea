#!/usr/bin/env bash
# Every format velko-render exports, opened by readers Velko did not write: ffprobe (frames
# and length of the videos, the GIF and the APNG), webpinfo, pngcheck, rsvg-convert against
# the PNG, Python's json for the sprite atlas. Each example doll at 400 x 240, fitted; its
# frame count and length are what `velko-render --info` says of its sequence (the frames of
# one pass at its frame rate), and the atlas is checked against the sheet. Everything but
# the videos is the same bytes on a second run; a missing ffmpeg is said plainly.
#
# Usage: export_readers_test.sh VELKO_RENDER EXAMPLE.velko...
set -uo pipefail
render="$1"
shift
top=$(mktemp -d)
trap 'rm -rf "$top"' EXIT
fails=0
fail() {
    echo "FAIL: $example: $*" >&2
    fails=$((fails + 1))
}

for example in "$@"; do
dir="$top/$(basename "$example" .velko)"
mkdir -p "$dir"
echo "== $(basename "$example")"

# What the document says of its animation: one pass's length and frame rate, and the frames
# of the pass (whole frame times, rounded half up)
read -r length_ms fps < <("$render" "$example" --info | python3 -c "
import json, sys
s = json.load(sys.stdin)['sequence']
print(s['duration_ms'], s['fps'])") || fail "--info"
frames=$(((length_ms * fps * 2 + 1000) / 2000))
echo "--info: $length_ms ms at $fps frames a second, $frames frames"

# Every format into folder $1
export_all() {
    mkdir -p "$1"
    for out in still.png still.svg --animation:anim.gif --animation:anim.webp \
        --animation:anim.apng --animation:anim.mp4 --animation:anim.webm --sprites:sheet.png; do
        kind=${out%:*}
        [ "$kind" = "$out" ] && kind=""
        "$render" "$example" $kind --fit --size 400x240 -o "$1/${out#*:}" || fail "$out"
    done
}
export_all "$dir/a"
export_all "$dir/b"
a="$dir/a"

# The atlas: frames inside the sheet, in order without gaps, steps covering them all, the
# durations adding up to the pass
read -r atlas_frames atlas_ms atlas_fps < <(python3 - "$a/sheet.json" "$a/sheet.png" <<'EOF'
import json, struct, sys
atlas = json.load(open(sys.argv[1]))
with open(sys.argv[2], "rb") as f:
    head = f.read(24)
w, h = struct.unpack(">II", head[16:24])
assert atlas["size"] == {"w": w, "h": h}, (atlas["size"], w, h)
frames = atlas["frames"]
assert frames, "no frames"
for f in frames:
    assert f["w"] == 400 and f["h"] == 240, f
    assert 0 <= f["x"] and f["x"] + f["w"] <= w and 0 <= f["y"] and f["y"] + f["h"] <= h, f
    assert f["duration_ms"] > 0, f
cells = {(f["x"], f["y"]) for f in frames}
assert len(cells) == len(frames), "frames overlap"
steps = atlas["steps"]
assert steps[0]["from"] == 0 and steps[-1]["to"] == len(frames) - 1, steps
for before, after in zip(steps, steps[1:]):
    assert after["from"] == before["to"] + 1, steps
assert all(1 <= s["pose"] <= 8 for s in steps), steps
print(len(frames), sum(f["duration_ms"] for f in frames), atlas["fps"])
EOF
) || fail "the sprite atlas does not hold together"
echo "atlas: $atlas_frames frames, $atlas_ms ms at $atlas_fps frames a second"
[ "$atlas_frames $atlas_ms $atlas_fps" = "$frames $length_ms $fps" ] ||
    fail "the atlas is not the pass --info describes"

# Frame count and length as ffprobe reads them: within one frame of what --info says. The length
# is the container's, or the frames' own durations added up (ffprobe gives an APNG none).
probe() {
    ffprobe -v error -count_frames -select_streams v:0 \
        -show_entries stream=nb_read_frames,width,height -show_entries format=duration \
        -of default=nw=1 "$1"
}
for ext in mp4 webm gif apng; do
    info=$(probe "$a/anim.$ext") || {
        fail "ffprobe cannot read anim.$ext"
        continue
    }
    n=$(echo "$info" | sed -n 's/^nb_read_frames=//p')
    seconds=$(echo "$info" | sed -n 's/^duration=//p')
    if [ "$seconds" = N/A ]; then
        seconds=$(ffprobe -v error -select_streams v:0 -show_entries packet=duration_time \
            -of csv=p=0 "$a/anim.$ext" | awk '{s += $1} END {print s}')
    fi
    size=$(echo "$info" | awk -F= '/^width=/{w=$2} /^height=/{h=$2} END{print w "x" h}')
    echo "ffprobe anim.$ext: $n frames, $seconds s, $size"
    [ "$size" = 400x240 ] && [ $((${n:-0} - frames)) -ge -1 ] && [ $((${n:-0} - frames)) -le 1 ] &&
        python3 -c "import sys; sys.exit(abs($seconds * 1000 - $length_ms) > 1000 / $fps)" ||
        fail "anim.$ext is not $frames frames of 400x240 in $length_ms ms"
done

# WebP: animated, every frame there
summary=$(webpinfo -summary "$a/anim.webp") || fail "webpinfo finds errors in anim.webp"
echo "$summary" | grep -q "Animation: 1" || fail "anim.webp is not animated"
n=$(echo "$summary" | sed -n 's/^Number of frames: //p')
echo "webpinfo anim.webp: $n frames"
[ "$n" = "$frames" ] || fail "anim.webp has $n frames, not $frames"

# APNG: pngcheck checks every chunk; its acTL (which this pngcheck lists but does not
# decode) counts the frames, as many as fcTL chunks
listing=$(pngcheck -v "$a/anim.apng") || fail "pngcheck finds errors in anim.apng"
at=$(echo "$listing" | sed -n 's/.*chunk acTL at offset \(0x[0-9a-f]*\).*/\1/p')
fctl=$(echo "$listing" | grep -c "chunk fcTL")
actl=$(python3 -c "
import struct, sys
data = open(sys.argv[1], 'rb').read()
at = int(sys.argv[2], 16)
assert data[at:at + 4] == b'acTL'  # the offset of the chunk's type
print(struct.unpack('>I', data[at + 4:at + 8])[0])" "$a/anim.apng" "${at:-0}") ||
    fail "no acTL where pngcheck puts it"
echo "pngcheck anim.apng: acTL says ${actl:-?} frames, $fctl fcTL chunks"
[ "${actl:-}" = "$frames" ] && [ "$fctl" = "$frames" ] || fail "anim.apng frame count"
for png in still.png sheet.png; do pngcheck -q "$a/$png" || fail "pngcheck finds errors in $png"; done

# SVG: rsvg-convert draws what the PNG shows (edges may differ by a little)
if rsvg-convert "$a/still.svg" -o "$dir/svg.png"; then
    size=$(identify -format "%wx%h" "$dir/svg.png")
    [ "$size" = 400x240 ] || fail "the SVG renders at $size"
    differ=$(compare -metric AE -fuzz 25% "$a/still.png" "$dir/svg.png" null: 2>&1)
    echo "rsvg-convert still.svg: $size, $differ pixels differ from still.png"
    [ "${differ%.*}" -lt 480 ] || fail "the SVG and the PNG differ in $differ pixels"
else
    fail "rsvg-convert cannot read still.svg"
fi

# The same bytes every run, but for what ffmpeg decides
for f in still.png still.svg anim.gif anim.webp anim.apng sheet.png sheet.json; do
    cmp -s "$a/$f" "$dir/b/$f" || fail "$f differs from run to run"
done
for f in anim.mp4 anim.webm; do
    cmp -s "$a/$f" "$dir/b/$f" && echo "$f: the same bytes on both runs" ||
        echo "$f: ffmpeg wrote other bytes on the second run"
done
ls -l "$a" | awk 'NR > 1 {print "  " $5 "\t" $9}'
done

# Without ffmpeg a video is refused with a message that names it, and nothing is written
err=$(PATH=/nonexistent "$render" "$example" --animation -o "$top/none.mp4" 2>&1)
status=$?
[ $status = 2 ] || fail "without ffmpeg: exit status $status"
echo "$err" | grep -q "ffmpeg" || fail "without ffmpeg: $err"
[ ! -e "$top/none.mp4" ] || fail "without ffmpeg a file was written"
if [ "$fails" -gt 0 ]; then
    echo "$fails checks failed"
    exit 1
fi
echo "every reader agrees"
