#!/usr/bin/env bash
# Converts a generated 3-minute 44.1 kHz stereo WAV to MP3, OGG and WMA and back with
# harvelo-cli, and does the same work with the command-line tools of the same libraries
# (lame, oggenc/oggdec, mpg123, ffmpeg) at the same settings. Prints each run as a multiple of
# real time (audio seconds per CPU second) and as a ratio to the tool (above 1.00: harvelo-cli
# is slower).
# Then converts a 2-hour input, streamed through a pipe so that it is never stored, and shows
# that the peak memory is the same as for a 10-minute one.
# Usage: codec_bench.sh PATH/TO/harvelo-cli [SECONDS]   (build with CMAKE_BUILD_TYPE=Release)
set -euo pipefail

CLI=${1:?usage: codec_bench.sh PATH/TO/harvelo-cli [SECONDS]}
SECONDS_OF_AUDIO=${2:-180}
RUNS=3
for tool in sox lame oggenc oggdec mpg123 ffmpeg /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "codec_bench: $tool is not installed" >&2; exit 1; }
done

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export HARVELO_CONFIG_DIR="$WORK/config"
mkdir -p "$HARVELO_CONFIG_DIR"
cat >"$HARVELO_CONFIG_DIR/harvelo.ini" <<'INI'
[mp3 settings]
frequency=44100
channel=2
bitrate=128
[ogg settings]
frequency=44100
channel=2
bitrate=128
[wma settings]
wma format=28
INI

# Music-like input: a chord over pink noise.
sox -n -r 44100 -c 2 -b 16 "$WORK/in.wav" synth "$SECONDS_OF_AUDIO" pinknoise vol 0.3 \
  synth sine mix 220 sine mix 277 sine mix 330 2>/dev/null

# Least CPU seconds (user + system) of $RUNS runs of a command: steadier than the wall clock
# on a machine that is busy with other work.
best_time() {
  local best="" t
  for _ in $(seq "$RUNS"); do
    /usr/bin/time -f '%U %S' -o "$WORK/cpu" "$@" >/dev/null 2>&1
    t=$(awk '{ print $1 + $2 }' "$WORK/cpu")
    if [ -z "$best" ] || awk -v t="$t" -v b="$best" 'BEGIN { exit !(t < b) }'; then best=$t; fi
  done
  echo "$best"
}

report() { # name harvelo-seconds tool-name tool-seconds
  awk -v n="$1" -v h="$2" -v tool="$3" -v t="$4" -v s="$SECONDS_OF_AUDIO" 'BEGIN {
    printf "%-16s harvelo-cli %7.1fx real time   %-8s %7.1fx real time   ratio %5.2f\n",
      n, s / h, tool, s / t, h / t }'
}


echo "Encoding and decoding ${SECONDS_OF_AUDIO} s of 44.1 kHz stereo, least CPU time of $RUNS runs"
report "wav -> mp3 128k" "$(best_time "$CLI" convert --force "$WORK/in.wav" "$WORK/h.mp3")" lame \
  "$(best_time lame --quiet -b 128 --cbr "$WORK/in.wav" "$WORK/t.mp3")"
report "wav -> ogg 128k" "$(best_time "$CLI" convert --force "$WORK/in.wav" "$WORK/h.ogg")" oggenc \
  "$(best_time oggenc -Q -b 128 -o "$WORK/t.ogg" "$WORK/in.wav")"
report "wav -> wma 128k" "$(best_time "$CLI" convert --force "$WORK/in.wav" "$WORK/h.wma")" ffmpeg \
  "$(best_time ffmpeg -v error -y -i "$WORK/in.wav" -c:a wmav2 -b:a 128k "$WORK/t.wma")"
report "mp3 -> wav" "$(best_time "$CLI" convert --force "$WORK/h.mp3" "$WORK/hm.wav")" mpg123 \
  "$(best_time mpg123 -q -w "$WORK/tm.wav" "$WORK/h.mp3")"
report "ogg -> wav" "$(best_time "$CLI" convert --force "$WORK/h.ogg" "$WORK/ho.wav")" oggdec \
  "$(best_time oggdec -Q -o "$WORK/to.wav" "$WORK/h.ogg")"
report "wma -> wav" "$(best_time "$CLI" convert --force "$WORK/h.wma" "$WORK/hw.wav")" ffmpeg \
  "$(best_time ffmpeg -v error -y -i "$WORK/h.wma" "$WORK/tw.wav")"

# Peak resident memory (kB) of converting a streamed input of the given length to MP3.
streamed_peak_kb() {
  local fifo="$WORK/stream-$1.wav"
  rm -f "$fifo" && mkfifo "$fifo"
  sox -n -r 44100 -c 2 -b 16 -t wav - synth "$1" sine 440 vol 0.5 >"$fifo" 2>/dev/null &
  /usr/bin/time -f %M -o "$WORK/peak" "$CLI" convert --force "$fifo" "$WORK/long.mp3"
  wait
  rm -f "$WORK/long.mp3"
  cat "$WORK/peak"
}

echo "Peak memory while converting a streamed input to MP3"
short=$(streamed_peak_kb 600)
long=$(streamed_peak_kb 7200)
printf '  10 minutes: %6d kB\n  2 hours:    %6d kB\n' "$short" "$long"
if [ "$long" -gt $((short + 4096)) ]; then
  echo "codec_bench: memory grows with the input length" >&2
  exit 1
fi
