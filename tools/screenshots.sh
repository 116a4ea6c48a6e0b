#!/usr/bin/env bash
# Screenshots of Harvelo's main window with each shipped skin and with the built-in one: the
# real program runs under Xvfb and ffmpeg's x11grab takes the screen, which is exactly the
# size of the window. Also writes a sheet of the 45 pictures of each skin (every button state),
# a gallery of the skinned controls in each theme and the program's dialogs. On a larger screen
# it then works the program as a user would: the track list with a selected row, a real message
# box (the quit question) and the help window.
#
#   tools/screenshots.sh [BUILD_DIR] [OUT_DIR]      (defaults: build, BUILD_DIR/screenshots)
#
# Needs Xvfb, ffmpeg and xdotool; builds harvelo, harvelo_skinmaker and harvelo_skin_gallery.
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
bigx=""
cleanup() {
    [ -n "$app" ] && kill "$app" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
    [ -n "$bigx" ] && kill "$bigx" 2>/dev/null || true
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

# The program in use, on a 1024x768 screen: xdotool clicks and types, ffmpeg takes the pictures.
big=":$((500 + $$ % 400))"
Xvfb "$big" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
bigx=$!
for _ in $(seq 50); do
    DISPLAY="$big" xdotool getmouselocation >/dev/null 2>&1 && break
    sleep 0.1
done
mkdir -p "$work/use" "$work/runtime-use"
chmod 700 "$work/runtime-use"
printf '[basic]\nskin=1\n' >"$work/use/harvelo.ini"

start_in_use() {
    DISPLAY="$big" HARVELO_CONFIG_DIR="$work/use" HARVELO_AUDIO_OUTPUT=null \
        XDG_RUNTIME_DIR="$work/runtime-use" HARVELO_CD_DEVICES="$devices" \
        "$build/app/harvelo" >/dev/null 2>&1 &
    app=$!
    win=$(DISPLAY="$big" xdotool search --sync --onlyvisible --name '^Harvelo$' | head -1)
    sleep 1.5 # the first list refresh
    eval "$(DISPLAY="$big" xdotool getwindowgeometry --shell "$win")"
}
stop_in_use() {
    kill "$app"
    wait "$app" 2>/dev/null || true
    app=""
}
grab_big() {
    ffmpeg -loglevel error -y -f x11grab -draw_mouse 0 -video_size 1024x768 -i "$big+0,0" \
        -frames:v 1 "$1"
    echo "$1"
}

# A click on the second row selects it; the picture is the main window alone.
start_in_use
DISPLAY="$big" xdotool mousemove --window "$win" 150 122 click 1
sleep 0.5
ffmpeg -loglevel error -y -f x11grab -draw_mouse 0 -video_size 525x380 -i "$big+$X,$Y" \
    -frames:v 1 "$out/use-selected-row.png"
echo "$out/use-selected-row.png"
# Esc on the main window asks the quit question in a real message box.
DISPLAY="$big" xdotool key Escape
sleep 1
grab_big "$out/use-message-box.png"
# Without a window manager the picture has no title bar: the title as the X server holds it.
box=$(DISPLAY="$big" xdotool search --onlyvisible --name '^Confirm' | head -1)
echo "message box title: '$(DISPLAY="$big" xdotool getwindowname "$box")'"
stop_in_use
# A right click on the face opens the action menu, with its icons.
start_in_use
DISPLAY="$big" xdotool mousemove --window "$win" 300 20 click 3
sleep 1
grab_big "$out/use-action-menu.png"
stop_in_use
# F1 opens the help window, maximized.
start_in_use
DISPLAY="$big" xdotool mousemove --window "$win" 300 20 click 1 key F1
sleep 1.5
grab_big "$out/use-help.png"
stop_in_use
# The keyboard's place: Shift+Tab from the track list reaches the Rip CD button, then the OGG
# button, each showing its focus mark.
start_in_use
DISPLAY="$big" xdotool mousemove --window "$win" 300 20 click 1 key shift+Tab shift+Tab
sleep 0.5
ffmpeg -loglevel error -y -f x11grab -draw_mouse 0 -video_size 525x380 -i "$big+$X,$Y" \
    -frames:v 1 "$out/use-focused-button.png"
echo "$out/use-focused-button.png"
# Esc closes the open action menu and asks nothing.
DISPLAY="$big" xdotool mousemove --window "$win" 300 20 click 3
sleep 0.5
DISPLAY="$big" xdotool key Escape
sleep 0.5
grab_big "$out/use-menu-closed-by-esc.png"
stop_in_use
# The settings dialog from the keyboard: Right on its focused tab strip shows the second page,
# with the focus mark on the tab; its Help shows the settings page beside it.
start_in_use
DISPLAY="$big" xdotool mousemove --window "$win" 75 45 click 1
sleep 1
DISPLAY="$big" xdotool key Right
sleep 0.5
grab_big "$out/use-settings-focused-tab.png"
DISPLAY="$big" xdotool key ctrl+Next
sleep 0.3
grab_big "$out/use-settings-ctrl-pgdown.png"
stop_in_use

# Scaled screens: the window at 200 % (the skins' large pictures) and at 150 % (the same,
# scaled down smoothly), each on a screen of the window's size in device pixels.
shoot_scaled() {
    local scale=$1 name=$2 w h disp
    w=$(awk "BEGIN { printf \"%d\", 525 * $scale + 0.5 }")
    h=$(awk "BEGIN { printf \"%d\", 380 * $scale + 0.5 }")
    disp=":$((900 + $$ % 90))"
    Xvfb "$disp" -screen 0 "${w}x${h}x24" -nolisten tcp >/dev/null 2>&1 &
    local x=$!
    mkdir -p "$work/$name" "$work/runtime-$name"
    chmod 700 "$work/runtime-$name"
    printf '[basic]\nskin=1\n' >"$work/$name/harvelo.ini"
    sleep 1
    DISPLAY="$disp" QT_SCALE_FACTOR="$scale" HARVELO_CONFIG_DIR="$work/$name" HARVELO_AUDIO_OUTPUT=null \
        XDG_RUNTIME_DIR="$work/runtime-$name" HARVELO_CD_DEVICES="$devices" \
        "$build/app/harvelo" >/dev/null 2>&1 &
    app=$!
    sleep 2.5
    ffmpeg -loglevel error -y -f x11grab -draw_mouse 0 -video_size "${w}x${h}" -i "$disp+0,0" \
        -frames:v 1 "$out/main-$name.png"
    kill "$app"
    wait "$app" 2>/dev/null || true
    app=""
    kill "$x" 2>/dev/null || true
    echo "$out/main-$name.png"
}
shoot_scaled 2 scaled-200
shoot_scaled 1.5 scaled-150
