#!/usr/bin/env bash
# Screenshots of Harvelo's main window with each shipped skin and with the built-in one: the
# real program runs under Xvfb and ffmpeg's x11grab takes the screen, which is exactly the
# size of the window. Also writes a sheet of the 45 pictures of each skin (every button state),
# a gallery of the skinned controls in each theme and the program's dialogs.
#
#   tools/screenshots.sh [BUILD_DIR] [OUT_DIR]      (defaults: build, BUILD_DIR/screenshots)
#
# Needs Xvfb and ffmpeg; builds harvelo, harvelo_skinmaker and harvelo_skin_gallery first.
set -euo pipefail

build=$(realpath "${1:-build}")
out=$(realpath -m "${2:-$build/screenshots}")
mkdir -p "$out"
cmake --build "$build" --target harvelo harvelo_skinmaker harvelo_skin_gallery >/dev/null
cmake --build "$build" --target harvelo_demo_disc >/dev/null 2>&1 || true

work=$(mktemp -d)
display=":$((100 + $$ % 400))"
Xvfb "$display" -screen 0 525x380x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
app=""
cleanup() {
    [ -n "$app" ] && kill "$app" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# The demo disc fills the track list when the build made it.
devices=""
[ -f "$build/demo/demo.cue" ] && devices="$build/demo/demo.cue"

# Grabs the screen once the window is on it (a blank screen compresses to a tiny PNG).
grab() {
    local png=$1
    for _ in $(seq 50); do
        ffmpeg -loglevel error -y -f x11grab -draw_mouse 0 -video_size 525x380 -i "$display+0,0" \
            -frames:v 1 "$png"
        [ "$(stat -c %s "$png")" -gt 20000 ] && break
        sleep 0.2
    done
    sleep 1 # let the first list refresh finish painting
    ffmpeg -loglevel error -y -f x11grab -draw_mouse 0 -video_size 525x380 -i "$display+0,0" -frames:v 1 "$png"
}

shoot() {
    local name=$1 skin=$2
    local config="$work/$name"
    mkdir -p "$config" "$work/runtime-$name"
    chmod 700 "$work/runtime-$name"
    printf '[basic]\nskin=%s\n' "$skin" >"$config/harvelo.ini"
    DISPLAY="$display" HARVELO_CONFIG_DIR="$config" HARVELO_AUDIO_OUTPUT=null \
        XDG_RUNTIME_DIR="$work/runtime-$name" HARVELO_CD_DEVICES="$devices" \
        "$build/app/harvelo" >/dev/null 2>&1 &
    app=$!
    grab "$out/main-$name.png"
    kill "$app"
    wait "$app" 2>/dev/null || true
    app=""
    echo "$out/main-$name.png"
}

names=(Pewter Maroon Green Titian SkyBlue)
for i in 1 2 3 4 5; do
    shoot "${names[$((i - 1))]}" "$i"
    QT_QPA_PLATFORM=offscreen "$build/skin/harvelo_skinmaker" sheet \
        "$build/app/skins/skin$i.skn" "$out/sheet-${names[$((i - 1))]}.png"
done
# "skin" 7 names no skin: the start falls back to the one appended to the executable.
shoot builtin 7
QT_QPA_PLATFORM=offscreen "$build/skin/harvelo_skinmaker" sheet \
    "$build/skin/builtin.skn" "$out/sheet-builtin.png"
QT_QPA_PLATFORM=offscreen "$build/skin/harvelo_skin_gallery" "$out"
