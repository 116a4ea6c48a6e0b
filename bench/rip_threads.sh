#!/usr/bin/env bash
# A whole-disc rip on one encoder thread against two: a generated CD image of MINUTES minutes
# in TRACKS tracks (a noise pattern, written sector by sector by the image maker) ripped to
# MP3 (128 kbit/s CBR, the default settings, normalized) with harvelo-cli rip -j 1 and -j 2,
# taking turns RUNS times. Prints the median wall times and their ratio, with the verdict
# against the goal (-j 2 at most 0.6x the wall time of -j 1 on 2 cores), and checks that every
# run wrote the same MP3 files (md5).
# Usage: rip_threads.sh PATH/TO/harvelo-cli PATH/TO/make_cd_image
#   environment: RUNS (3), MINUTES (40), TRACKS (12)
set -euo pipefail

CLI=${1:?usage: rip_threads.sh PATH/TO/harvelo-cli PATH/TO/make_cd_image}
MAKER=${2:?usage: rip_threads.sh PATH/TO/harvelo-cli PATH/TO/make_cd_image}
RUNS=${RUNS:-3}
MINUTES=${MINUTES:-40}
TRACKS=${TRACKS:-12}
command -v /usr/bin/time >/dev/null || { echo "rip_threads: /usr/bin/time is not installed" >&2; exit 1; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export HARVELO_CONFIG_DIR="$WORK/config" QT_QPA_PLATFORM=offscreen
mkdir -p "$HARVELO_CONFIG_DIR"
: >"$HARVELO_CONFIG_DIR/harvelo.ini"

tracks=()
for t in $(seq "$TRACKS"); do tracks+=("$((MINUTES * 60000 / TRACKS))ms:Track $t"); done
"$MAKER" --artist Bench --album Disc "$WORK/disc.cue" "${tracks[@]}"

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# rip JOBS: the wall time of one rip into a fresh folder; the files' md5 go to sums.JOBS
rip() {
  rm -rf "$WORK/out"
  /usr/bin/time -f '%e' -o "$WORK/wall" "$CLI" rip --device "$WORK/disc.cue" --format mp3 \
    --output "$WORK/out" -j "$1" >/dev/null 2>"$WORK/err" \
    || { cat "$WORK/err" >&2; echo "rip_threads: the -j $1 rip failed" >&2; exit 1; }
  [ "$(ls "$WORK/out"/*.mp3 | wc -l)" -eq "$TRACKS" ] || { echo "rip_threads: -j $1 wrote no $TRACKS files" >&2; exit 1; }
  (cd "$WORK/out" && md5sum -- *.mp3) >"$WORK/sums.$1.new"
  if [ -f "$WORK/sums.1" ]; then
    cmp -s "$WORK/sums.$1.new" "$WORK/sums.1" || { echo "rip_threads: -j $1 wrote other files" >&2; FAILED=1; }
  fi
  mv "$WORK/sums.$1.new" "$WORK/sums.$1"
  cat "$WORK/wall"
}

FAILED=0
: >"$WORK/j1" && : >"$WORK/j2"
for _ in $(seq "$RUNS"); do
  rip 1 >>"$WORK/j1"
  rip 2 >>"$WORK/j2"
done
J1=$(median <"$WORK/j1"); J2=$(median <"$WORK/j2")
RATIO=$(awk -v a="$J1" -v b="$J2" 'BEGIN { print b / a }')
echo "rip of $MINUTES min in $TRACKS tracks to MP3, wall time, median of $RUNS interleaved runs ($(nproc) cores)"
echo "  -j 1: $(tr '\n' ' ' <"$WORK/j1")-> ${J1} s"
echo "  -j 2: $(tr '\n' ' ' <"$WORK/j2")-> ${J2} s"
WORD=$(awk -v r="$RATIO" 'BEGIN { print (r <= 0.6) ? "PASS" : "FAIL" }')
printf '  -j 2 / -j 1: %.3f (goal <= 0.6) %s; files identical: %s\n' "$RATIO" "$WORD" \
  "$([ "$FAILED" = 0 ] && echo yes || echo NO)"
[ "$WORD" = PASS ] && [ "$FAILED" = 0 ]
