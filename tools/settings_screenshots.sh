#!/bin/sh
# Pictures of every page of the settings dialog and of the output-directory picker, drawn on a
# virtual X display. Usage: tools/settings_screenshots.sh BUILD_DIR [OUT_DIR]
set -eu
build=${1:?usage: $0 BUILD_DIR [OUT_DIR]}
out=${2:-$build/screenshots}
mkdir -p "$out"
HARVELO_SCREENSHOT_DIR=$(cd "$out" && pwd) QT_QPA_PLATFORM=xcb HARVELO_AUDIO_OUTPUT=null \
  xvfb-run -a -s "-screen 0 1024x768x24" \
  "$build/tests/gui/settings/tst_settings_dialog" screenshots
echo "pictures in $out"
