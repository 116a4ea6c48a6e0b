#!/usr/bin/env bash
# Compares harvelo-cli with the command-line tools of the same libraries at the same settings,
# and checks the goals: each line ends in a verdict, and the script fails when a goal is missed
# by more than the noise measured in the same run.
#   encode   WAV -> MP3/OGG/WMA: CPU time at most 1.03x lame -b 128 --cbr / oggenc -b 128 /
#            ffmpeg -c:a wmav2 -b:a 128k, with the same bit rate out; WAV -> FLAC/Opus at most
#            1.05x flac -5 / opusenc --bitrate 160 (VBR)
#   decode   MP3/OGG/WMA/FLAC/Opus -> WAV: at most the tool's CPU time (x1.03) plus harvelo-cli's start-up
#   start-up harvelo-cli --help and a 0.1 s conversion: under 20 ms of CPU time each
#   -j       eight 60 s WAVs to MP3 with -j 2: at most 0.55x the wall time of -j 1
#   window   the main window painted within 0.3 s of main() (given PATH/TO/harvelo and xvfb-run)
#   memory   a streamed 2-hour input peaks at the memory of a 10-minute one
# Every time is the median of RUNS runs; a harvelo-cli run and its reference run take turns, so
# that a change of load on the machine falls on both. CPU time is user + system of the whole
# process. The noise of a ratio is half the spread (interquartile range) of its per-pair ratios.
# Usage: codec_bench.sh PATH/TO/harvelo-cli [PATH/TO/harvelo]
#   environment: RUNS (5), SECONDS_OF_AUDIO (120), MEMORY_CHECK (1; 0 skips the 2-hour run),
#   ONLY (a text: only the encode and decode lines whose name holds it, e.g. ONLY=flac);
#   build with CMAKE_BUILD_TYPE=Release
set -euo pipefail

CLI=${1:?usage: codec_bench.sh PATH/TO/harvelo-cli [PATH/TO/harvelo]}
GUI=${2:-}
RUNS=${RUNS:-5}
SECONDS_OF_AUDIO=${SECONDS_OF_AUDIO:-120}
for tool in sox lame oggenc oggdec mpg123 flac opusenc opusdec ffmpeg ffprobe python3 /usr/bin/time; do
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
vbr enabled=0
quality enabled=0
[wma settings]
wma format=28
[flac settings]
compression level=5
verify=0
[opus settings]
bitrate=160
bitrate mode=0
INI

# Music-like input: pink noise under a chord.
music() { # seconds file
  sox -n -r 44100 -c 2 -b 16 "$2" synth "$1" pinknoise vol 0.3 \
    synth sine mix 220 sine mix 277 sine mix 330 2>/dev/null
}
music "$SECONDS_OF_AUDIO" "$WORK/in.wav"
music 0.1 "$WORK/short.wav"

FAILED=0
# Runs a command once, after removing its output so that a refused or failed run cannot pass
# for a conversion; prints the CPU seconds. Usage: cpu_of OUTPUT COMMAND...
# The CPU time comes from wait4 in microseconds: /usr/bin/time rounds to hundredths of a second,
# a step of 3 % on a FLAC encode of 0.3 s.
cpu_of() {
  local out=$1; shift
  rm -f "$out"
  if ! python3 -c '
import os, sys
pid = os.fork()
if pid == 0:
    os.execvp(sys.argv[2], sys.argv[2:])
_, status, usage = os.wait4(pid, 0)
open(sys.argv[1], "w").write("%.4f\n" % (usage.ru_utime + usage.ru_stime))
sys.exit(os.waitstatus_to_exitcode(status))' "$WORK/cpu" "$@" >/dev/null 2>"$WORK/err" || [ ! -s "$out" ]; then
    echo "codec_bench: no output from: $*" >&2
    cat "$WORK/err" >&2
    exit 1
  fi
  cat "$WORK/cpu"
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# Half the interquartile range of the numbers on stdin.
half_iqr() { sort -g | awk '{ v[NR] = $1 } END { lo = v[int((NR + 3) / 4)]; hi = v[NR + 1 - int((NR + 3) / 4)]; print (hi - lo) / 2 }'; }

# verdict NAME VALUE GOAL NOISE UNIT: PASS at or under the goal, "PASS within noise" when over
# it by no more than the noise, FAIL otherwise (and the script's status becomes 1).
verdict() {
  local word
  word=$(awk -v v="$2" -v g="$3" -v n="$4" 'BEGIN {
    if (v <= g) print "PASS"; else if (v <= g + n) print "PASS (within noise)"; else print "FAIL" }')
  printf '  %-34s %8.3f%-3s goal <= %-7s noise %6.3f   %s\n' "$1" "$2" "$5" "$3" "$4" "$word"
  [ "$word" != FAIL ] || FAILED=1
}

# compare NAME GOAL HARVELO-OUTPUT REFERENCE-OUTPUT -- HARVELO-COMMAND... -- REFERENCE-COMMAND...
# Takes turns RUNS times; reports both medians and the ratio of the medians.
compare() {
  local name=$1 goal=$2 hout=$3 rout=$4; shift 4; shift
  local h=() r=()
  while [ "$1" != -- ]; do h+=("$1"); shift; done
  shift
  r=("$@")
  : >"$WORK/h" && : >"$WORK/r" && : >"$WORK/ratios"
  for _ in $(seq "$RUNS"); do
    local th tr
    th=$(cpu_of "$hout" "${h[@]}")
    tr=$(cpu_of "$rout" "${r[@]}")
    echo "$th" >>"$WORK/h" && echo "$tr" >>"$WORK/r"
    awk -v a="$th" -v b="$tr" 'BEGIN { if (b > 0) print a / b }' >>"$WORK/ratios"
  done
  H=$(median <"$WORK/h"); R=$(median <"$WORK/r")
  RATIO=$(awk -v a="$H" -v b="$R" 'BEGIN { print a / b }')
  NOISE=$(half_iqr <"$WORK/ratios")
  printf '%-18s harvelo-cli %6.3f s   %-7s %6.3f s\n' "$name" "$H" "${r[0]}" "$R"
}

bitrate() { ffprobe -v error -show_entries format=bit_rate -of csv=p=0 "$1"; }

echo "harvelo-cli against the tools: ${SECONDS_OF_AUDIO} s of 44.1 kHz stereo, CPU time, median of $RUNS interleaved runs"
ONLY=${ONLY:-}
chosen() { [ -z "$ONLY" ] || [[ $1 == *"$ONLY"* ]]; }
# 20 runs in one timed shell: /usr/bin/time counts in hundredths of a second.
startup_ms() {
  local runs=20
  /usr/bin/time -f '%U %S' -o "$WORK/cpu" sh -c "for i in \$(seq $runs); do $* >/dev/null 2>&1 || exit 1; done"
  awk -v n="$runs" '{ printf "%.1f\n", ($1 + $2) * 1000 / n }' "$WORK/cpu"
}
: >"$WORK/help" && : >"$WORK/short"
# With ONLY, the start-up is measured once, for the decoding goals, and not judged.
for _ in $(seq "$([ -z "$ONLY" ] && echo "$RUNS" || echo 1)"); do
  startup_ms "'$CLI' --help" >>"$WORK/help"
  startup_ms "'$CLI' convert --force '$WORK/short.wav' '$WORK/short.mp3'" >>"$WORK/short"
done
STARTUP_MS=$(median <"$WORK/short")
if [ -z "$ONLY" ]; then
  echo "Start-up"
  verdict "harvelo-cli --help" "$(median <"$WORK/help")" 20 "$(half_iqr <"$WORK/help")" ms
  verdict "convert of 0.1 s WAV to MP3" "$STARTUP_MS" 20 "$(half_iqr <"$WORK/short")" ms
fi

echo "Encoding"
# The goal is ENCODE_GOAL (1.03 unless the caller sets it).
encode() { # name reference-name harvelo-output reference-output reference-command...
  local name=$1 ext=${3##*.} goal=${ENCODE_GOAL:-1.03}; shift
  chosen "$name" || return 0
  compare "$name" "$goal" "$2" "$3" -- "$CLI" convert --force "$WORK/in.wav" "$2" -- "${@:4}"
  verdict "$name CPU vs $1" "$RATIO" "$goal" "$NOISE" x
  ffprobe -v error "$2" || { echo "codec_bench: ffprobe rejects the $ext output" >&2; FAILED=1; }
  echo "    bit rate: harvelo-cli $(bitrate "$2"), $1 $(bitrate "$3")"
}
encode "wav -> mp3 128k" lame "$WORK/h.mp3" "$WORK/t.mp3" lame --quiet -b 128 --cbr "$WORK/in.wav" "$WORK/t.mp3"
encode "wav -> ogg 128k" oggenc "$WORK/h.ogg" "$WORK/t.ogg" oggenc -Q -b 128 -o "$WORK/t.ogg" "$WORK/in.wav"
encode "wav -> wma 128k" ffmpeg "$WORK/h.wma" "$WORK/t.wma" \
  ffmpeg -v error -y -i "$WORK/in.wav" -c:a wmav2 -b:a 128k "$WORK/t.wma"
ENCODE_GOAL=1.05 encode "wav -> flac -5" flac "$WORK/h.flac" "$WORK/t.flac" \
  flac -s -f -5 -o "$WORK/t.flac" "$WORK/in.wav"
ENCODE_GOAL=1.05 encode "wav -> opus 160k" opusenc "$WORK/h.opus" "$WORK/t.opus" \
  opusenc --quiet --bitrate 160 --vbr "$WORK/in.wav" "$WORK/t.opus"

echo "Decoding (goal: the tool's time x1.03 plus harvelo-cli's start-up)"
decode() { # name input reference-output reference-command...
  local name=$1 input=$2; shift 2
  [ -f "$input" ] && chosen "$name" || return 0
  compare "$name" - "$WORK/hd.wav" "$1" -- "$CLI" convert --force "$input" "$WORK/hd.wav" -- "${@:2}"
  local allowed
  allowed=$(awk -v r="$R" -v s="$STARTUP_MS" 'BEGIN { print r * 1.03 + s / 1000 }')
  verdict "$name CPU vs ${2}" "$(awk -v h="$H" -v a="$allowed" 'BEGIN { print h / a }')" 1.00 "$NOISE" x
}
for ext in mp3 ogg wma flac opus; do [ ! -f "$WORK/h.$ext" ] || cp "$WORK/h.$ext" "$WORK/d.$ext"; done
decode "mp3 -> wav" "$WORK/d.mp3" "$WORK/tm.wav" mpg123 -q -w "$WORK/tm.wav" "$WORK/d.mp3"
decode "ogg -> wav" "$WORK/d.ogg" "$WORK/to.wav" oggdec -Q -o "$WORK/to.wav" "$WORK/d.ogg"
decode "wma -> wav" "$WORK/d.wma" "$WORK/tw.wav" ffmpeg -v error -y -i "$WORK/d.wma" "$WORK/tw.wav"
decode "flac -> wav" "$WORK/d.flac" "$WORK/tf.wav" flac -s -f -d -o "$WORK/tf.wav" "$WORK/d.flac"
decode "opus -> wav" "$WORK/d.opus" "$WORK/tp.wav" opusdec --quiet --rate 48000 "$WORK/d.opus" "$WORK/tp.wav"

if [ -z "$ONLY" ]; then
  echo "Several files: eight 60 s WAVs to MP3, wall time of -j 2 against -j 1"
  mkdir -p "$WORK/batch" "$WORK/out1" "$WORK/out2"
  for i in 1 2 3 4 5 6 7 8; do music 60 "$WORK/batch/song$i.wav"; done
  wall_of() { # dir jobs
    rm -f "$1"/*.mp3
    /usr/bin/time -f '%e' -o "$WORK/wall" "$CLI" convert --output-dir "$1" --format mp3 -j "$2" \
      "$WORK"/batch/*.wav >/dev/null 2>&1 || { echo "codec_bench: the -j $2 batch failed" >&2; exit 1; }
    [ "$(ls "$1"/*.mp3 | wc -l)" -eq 8 ] || { echo "codec_bench: the -j $2 batch wrote no 8 files" >&2; exit 1; }
    cat "$WORK/wall"
  }
  : >"$WORK/j1" && : >"$WORK/j2" && : >"$WORK/jr"
  for _ in $(seq "$RUNS"); do
    a=$(wall_of "$WORK/out1" 1); b=$(wall_of "$WORK/out2" 2)
    echo "$a" >>"$WORK/j1" && echo "$b" >>"$WORK/j2"
    awk -v a="$a" -v b="$b" 'BEGIN { print b / a }' >>"$WORK/jr"
  done
  cmp -s <(cat "$WORK"/out1/*.mp3) <(cat "$WORK"/out2/*.mp3) \
    || { echo "codec_bench: -j 2 wrote other files than -j 1" >&2; FAILED=1; }
  printf '%-18s -j 1 %6.2f s   -j 2 %6.2f s (wall)\n' "8 x 60 s -> mp3" "$(median <"$WORK/j1")" "$(median <"$WORK/j2")"
  verdict "-j 2 wall time vs -j 1" \
    "$(awk -v a="$(median <"$WORK/j1")" -v b="$(median <"$WORK/j2")" 'BEGIN { print b / a }')" 0.55 \
    "$(half_iqr <"$WORK/jr")" x
fi

if [ -z "$ONLY" ] && [ -n "$GUI" ] && command -v xvfb-run >/dev/null; then
  echo "Window: main() to the first painted main window, built-in skin, demo disc"
  demo="$(dirname "$GUI")/../demo/demo.cue"
  : >"$WORK/paint"
  for _ in $(seq "$RUNS"); do
    HARVELO_FIRST_PAINT_EXIT=1 HARVELO_CD_DEVICES="$demo" xvfb-run -a "$GUI" 2>/dev/null \
      | awk '/^first paint:/ { print $3 / 1000 }' >>"$WORK/paint"
  done
  [ -s "$WORK/paint" ] || { echo "codec_bench: the window printed no first paint" >&2; exit 1; }
  verdict "first paint after main()" "$(median <"$WORK/paint")" 0.3 "$(half_iqr <"$WORK/paint")" s
fi

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

if [ -z "$ONLY" ] && [ "${MEMORY_CHECK:-1}" = 1 ]; then
  echo "Peak memory while converting a streamed input to MP3"
  short=$(streamed_peak_kb 600)
  long=$(streamed_peak_kb 7200)
  printf '  10 minutes: %6d kB\n  2 hours:    %6d kB\n' "$short" "$long"
  if [ "$long" -gt $((short + 4096)) ]; then
    echo "codec_bench: memory grows with the input length" >&2
    FAILED=1
  fi
fi
[ "$FAILED" -eq 0 ] && echo "All goals met." || echo "codec_bench: a goal was missed" >&2
exit "$FAILED"
