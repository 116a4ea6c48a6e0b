#!/usr/bin/env bash
# Aliasing of the rate change before each encoder, measured with a sine sweep, as a spectrogram
# of a sweep shows it. For every encoder, every rate that its settings offer and every input
# rate, sox makes a sweep, harvelo-cli converts it, ffmpeg decodes the result and sox measures
# what should not be there, against the sweep's own RMS level:
#   down (input rate above the output's): the sweep rises linearly from 0 Hz to the input's
#        Nyquist frequency; once it is above the output's Nyquist frequency nothing of it may
#        remain, so all that the output holds in that time is alias (and the encoder's noise).
#   up:  the sweep rises to 0.9 of the input's Nyquist frequency, so its images lie above 1.1 of
#        it; the output high-passed at the input's Nyquist frequency holds only images (and the
#        encoder's own noise there: the same sweep made at the output rate and encoded gives
#        that figure, "encoder alone").
# A line ends in "ok" below -90 dB (or, going up, within 1 dB of the encoder alone), else in
# "ALIAS"; the script fails when a line does. Encoders at their best settings for the rate.
#   bench/aliasing_sweep.sh build/cli/harvelo-cli [ENCODER...]    (ENCODER: mp3 ogg wma)
#   environment: INPUT_RATES ("8000 11025 16000 22050 32000 44100 48000 96000"), SWEEP_SECONDS (8)
set -euo pipefail

CLI=${1:?usage: aliasing_sweep.sh PATH/TO/harvelo-cli [mp3|ogg|wma...]}
shift
ENCODERS=("$@")
[ ${#ENCODERS[@]} -gt 0 ] || ENCODERS=(mp3 ogg wma)
INPUT_RATES=${INPUT_RATES:-"8000 11025 16000 22050 32000 44100 48000 96000"}
SECONDS_OF_SWEEP=${SWEEP_SECONDS:-8}
LIMIT=-90
AMPLITUDE=0.5
for tool in sox ffmpeg awk; do
  command -v "$tool" >/dev/null || { echo "aliasing_sweep: $tool is not installed" >&2; exit 1; }
done

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export HARVELO_CONFIG_DIR="$WORK/config" QT_QPA_PLATFORM=offscreen
mkdir -p "$HARVELO_CONFIG_DIR"

# The rates of each encoder's settings, and for WMA the format of each rate that spends the most
# bits on each channel ("wma format" codes of the settings' list).
rates_of() {
  case $1 in
    mp3|ogg) echo 32000 44100 48000 ;;
    wma) echo 8000 11025 16000 22050 32000 44100 48000 ;;
  esac
}
wma_format() {
  case $1 in
    8000) echo 3 ;; 11025) echo 5 ;; 16000) echo 9 ;; 22050) echo 13 ;;
    32000) echo 22 ;; 44100) echo 32 ;; 48000) echo 33 ;;
  esac
}
settings() { # encoder rate
  case $1 in
    mp3) printf '[mp3 settings]\nfrequency=%s\nchannel=2\nbitrate=320\n' "$2" ;;
    ogg) printf '[ogg settings]\nfrequency=%s\nchannel=2\nbitrate=128\nvbr enabled=0\nquality enabled=0\n' "$2" ;;
    wma) printf '[wma settings]\nwma format=%s\n' "$(wma_format "$2")" ;;
  esac >"$HARVELO_CONFIG_DIR/harvelo.ini"
}

# A mono 16-bit sweep from 0 Hz to TOP Hz at RATE, rising linearly, faded in and out over 50 ms.
# (sox's own synth folds a sweep back once it passes a third of the rate.)
sweep() { # rate top file
  python3 - "$1" "$2" "$3" "$SECONDS_OF_SWEEP" "$AMPLITUDE" <<'PY'
import array, math, sys, wave
rate, top, path, seconds, amplitude = int(sys.argv[1]), float(sys.argv[2]), sys.argv[3], float(sys.argv[4]), float(sys.argv[5])
n, fade = int(rate * seconds), int(rate * 0.05)
k = math.pi * top / seconds  # phase = 2 pi (top / seconds) t^2 / 2
samples = array.array("h", (round(32767 * amplitude * min(1.0, i / fade, (n - i) / fade)
                                  * math.sin(k * (i / rate) ** 2)) for i in range(n)))
with wave.open(path, "wb") as out:
    out.setnchannels(1)
    out.setsampwidth(2)
    out.setframerate(rate)
    out.writeframes(samples.tobytes())
PY
}

# Converts FILE for ENCODER at RATE and decodes the result to 32-bit float; prints its path.
encode_decode() { # encoder rate file
  settings "$1" "$2"
  rm -f "$WORK/out.$1" "$WORK/decoded.wav"
  "$CLI" convert "$3" "$WORK/out.$1" >/dev/null
  ffmpeg -v error -i "$WORK/out.$1" -c:a pcm_f32le "$WORK/decoded.wav"
  echo "$WORK/decoded.wav"
}

# The RMS level (dB) of the first channel of FILE through sox EFFECTS, against the sweep's RMS.
level() { # file effects...
  local file=$1; shift
  sox "$file" -n remix 1 "$@" stats 2>&1 | awk -v a="$AMPLITUDE" \
    '/RMS lev dB/ { v = $4; if (v == "-inf") v = -200; printf "%.1f", v - 20 * log(a / sqrt(2)) / log(10) }'
}

# Going down: the output in the time the sweep is above the output's Nyquist frequency, less
# 0.3 s at each end for the encoder's and resampler's delays and the fade.
down() { # encoder in out
  local start end
  start=$(awk -v i="$2" -v o="$3" -v s="$SECONDS_OF_SWEEP" 'BEGIN { printf "%.3f", s * o / i + 0.3 }')
  end=$(awk -v s="$SECONDS_OF_SWEEP" 'BEGIN { printf "%.3f", s - 0.3 }')
  sweep "$2" $(( $2 / 2 )) "$WORK/sweep.wav"
  level "$(encode_decode "$1" "$3" "$WORK/sweep.wav")" trim "$start" "=$end"
}

# Going up: the output above the input's Nyquist frequency, with and without the rate change.
up() { # encoder in out
  local top=$(( $2 * 9 / 20 )) highpass=$(( $2 / 2 )) band=$(( $2 / 20 ))
  sweep "$2" "$top" "$WORK/sweep.wav"
  level "$(encode_decode "$1" "$3" "$WORK/sweep.wav")" sinc -a 150 -t "$band" "$highpass"
  printf ' '
  sweep "$3" "$top" "$WORK/sweep.wav"
  level "$(encode_decode "$1" "$3" "$WORK/sweep.wav")" sinc -a 150 -t "$band" "$highpass"
}

FAILED=0
printf '%-4s %6s -> %6s  %-5s %9s  %s\n' enc in out way "alias dB" "encoder alone dB"
for encoder in "${ENCODERS[@]}"; do
  for out in $(rates_of "$encoder"); do
    for in in $INPUT_RATES; do
      [ "$in" -ne "$out" ] || continue
      if [ "$in" -gt "$out" ]; then
        alias=$(down "$encoder" "$in" "$out") alone=""
      else
        read -r alias alone <<<"$(up "$encoder" "$in" "$out")"
      fi
      verdict=$(awk -v a="$alias" -v b="${alone:-}" -v l="$LIMIT" \
        'BEGIN { print (a < l || (b != "" && a <= b + 1)) ? "ok" : "ALIAS" }')
      [ "$verdict" = ok ] || FAILED=1
      printf '%-4s %6s -> %6s  %-5s %9s  %-16s %s\n' "$encoder" "$in" "$out" \
        "$([ "$in" -gt "$out" ] && echo down || echo up)" "$alias" "${alone:--}" "$verdict"
    done
  done
done
exit $FAILED
