#!/usr/bin/env python3
"""Reference disc IDs of an audio CD's table of contents, for the tests' expected values.

Written from the published descriptions, apart from Harvelo's code and libdiscid:
- freedb (CDDB) ID: the digit sums of every track's start in seconds (LBA / 75) modulo 255,
  the disc's length in seconds (lead-out / 75 less the first track's start / 75) and the
  track count, as 8 hex digits. A disc whose first track is N > 1 counts, as libdiscid does,
  tracks 1 to N - 1 at offset 0: the count is the last track's number, the length from 0.
- MusicBrainz disc ID: SHA-1 of the upper-case hex text of the first and last track numbers
  (2 digits each), the lead-out and the offsets of tracks 1 to 99 (8 digits each, 0 for none),
  in base64 with "+/=" written "._-".
- AccurateRip ID: the audio track count, the sum of the track starts and the lead-out (LSN),
  the sum of each start (at least 1) times its position and the lead-out times the count + 1,
  and the freedb ID.

- An enhanced CD (--data-track: the last LSN is its data track, in a second session): freedb
  counts every track and the true lead-out; MusicBrainz only the audio session, whose lead-out
  lies 11400 sectors before the data track; AccurateRip the audio tracks and the true lead-out.

Usage: disc_id_reference.py [--data-track] FIRST_TRACK LEADOUT_LSN TRACK_LSN...
Prints: freedb ID, MusicBrainz ID, AccurateRip ID.
"""
import base64
import hashlib
import sys


def freedb_id(first, lbas, leadout_lba):
    lbas = [0] * (first - 1) + lbas
    digit_sum = sum(sum(int(d) for d in str(lba // 75)) for lba in lbas)
    seconds = leadout_lba // 75 - lbas[0] // 75
    return "%08x" % (((digit_sum % 255) << 24) | (seconds << 8) | len(lbas))


def musicbrainz_id(first, lbas, leadout_lba):
    offsets = [0] * 100
    offsets[0] = leadout_lba
    for i, lba in enumerate(lbas):
        offsets[first + i] = lba
    text = "%02X%02X" % (first, first + len(lbas) - 1) + "".join("%08X" % o for o in offsets)
    digest = base64.b64encode(hashlib.sha1(text.encode()).digest()).decode()
    return digest.replace("+", ".").replace("/", "_").replace("=", "-")


def accuraterip_id(lsns, leadout, freedb):
    id1 = (sum(lsns) + leadout) & 0xFFFFFFFF
    id2 = (sum(max(lsn, 1) * (i + 1) for i, lsn in enumerate(lsns)) + leadout * (len(lsns) + 1)) & 0xFFFFFFFF
    return "%03d-%08x-%08x-%s" % (len(lsns), id1, id2, freedb)


def main():
    args = sys.argv[1:]
    enhanced = args[0] == "--data-track"
    args = args[1:] if enhanced else args
    first, leadout, lsns = int(args[0]), int(args[1]), [int(a) for a in args[2:]]
    lbas = [lsn + 150 for lsn in lsns]
    freedb = freedb_id(first, lbas, leadout + 150)
    audio, session_end = (lsns[:-1], lsns[-1] - 11400) if enhanced else (lsns, leadout)
    print(freedb, musicbrainz_id(first, [lsn + 150 for lsn in audio], session_end + 150),
          accuraterip_id(audio, leadout, freedb))


if __name__ == "__main__":
    main()
