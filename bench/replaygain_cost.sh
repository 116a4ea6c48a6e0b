#!/bin/sh
# What ReplayGain costs: the CPU time of harvelo-cli convert WAV -> FLAC with "replaygain" `no`
# and `album`, in turns, and libebur128's own time for the same audio with the sample peak
# Harvelo uses and with the true peak (python3 over the library, outside any program).
# Usage: replaygain_cost.sh PATH/TO/harvelo-cli [MINUTES (10)] [RUNS (5)]
set -eu
cli=${1:?usage: $0 PATH/TO/harvelo-cli [MINUTES] [RUNS]}
minutes=${2:-10}
runs=${3:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HARVELO_CONFIG_DIR="$work"
ffmpeg -nostdin -loglevel error -f lavfi -i "anoisesrc=d=$((minutes * 60)):c=pink:a=0.3:r=44100" \
  -ac 2 "$work/in.wav"
i=0
while [ $i -lt "$runs" ]; do
  for mode in no album; do
    printf '[output format]\nreplaygain=%s\n' $mode >"$work/harvelo.ini"
    /usr/bin/time -f "convert, replaygain=$mode: %U s user %S s system" \
      "$cli" convert --force "$work/in.wav" "$work/out.flac" 2>&1 | tail -1
  done
  i=$((i + 1))
done
python3 - "$work/in.wav" <<'PY'
import ctypes, sys, time, wave
lib = ctypes.CDLL("libebur128.so.1")
lib.ebur128_init.restype = ctypes.c_void_p
lib.ebur128_init.argtypes = [ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
lib.ebur128_add_frames_short.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_size_t]
lib.ebur128_destroy.argtypes = [ctypes.POINTER(ctypes.c_void_p)]
I, SAMPLE_PEAK, TRUE_PEAK, HISTOGRAM = 5, 17, 49, 64
for name, mode in [("sample peak", I | SAMPLE_PEAK | HISTOGRAM), ("true peak", I | TRUE_PEAK | HISTOGRAM)]:
    w = wave.open(sys.argv[1])
    st = ctypes.c_void_p(lib.ebur128_init(2, 44100, mode))
    cpu = 0.0
    while True:
        block = w.readframes(44100)
        if not block:
            break
        t = time.process_time()
        lib.ebur128_add_frames_short(st, block, len(block) // 4)
        cpu += time.process_time() - t
    lib.ebur128_destroy(ctypes.byref(st))
    print(f"libebur128, {name}: {cpu:.2f} s CPU for {w.getnframes() / 44100:.0f} s of audio")
PY
