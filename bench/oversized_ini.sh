#!/usr/bin/env bash
# A one-track harvelo-cli rip (1 s, WAV, log and cue sheet) with a 50 MB harvelo.ini: wall and
# CPU time and peak memory of each harvelo-cli given, and whether the file is left as it was.
#   bench/oversized_ini.sh build/tools/make_cd_image build/cli/harvelo-cli [OTHER_HARVELO_CLI...]
set -euo pipefail
make_image=$1
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$make_image" "$work/disc.cue" 1000ms:One --artist Band --album Album >/dev/null
mkdir -p "$work/cfg"
python3 - "$work/cfg/harvelo.ini" <<'PY'
import sys
with open(sys.argv[1], 'wb') as f:
    f.write(b"[cddb]\naccuraterip server=127.0.0.1:9\n")  # the proof asks nobody outside
    line = b"; " + b"x" * 97 + b"\n"
    f.write(line * (50 * 1024 * 1024 // len(line)))
PY
export HARVELO_CONFIG_DIR=$work/cfg QT_QPA_PLATFORM=offscreen
before=$(sha256sum <"$work/cfg/harvelo.ini")
for cli in "$@"; do
  out=$(mktemp -d -p "$work")
  figures=$(/usr/bin/time -f "%e s wall, %U s user, %S s system, %M KB peak" \
    "$cli" rip --device "$work/disc.cue" --format wav --output "$out" 2>&1 | tail -n 1)
  same=$([ "$(sha256sum <"$work/cfg/harvelo.ini")" = "$before" ] && echo unchanged || echo CHANGED)
  echo "$cli: $figures; harvelo.ini $same"
done
