#!/usr/bin/env python3
"""Reference checksums of one track of raw CD audio, for the tests.

Written from the published descriptions, apart from Harvelo's code:
- AccurateRip v1 (Jon Lund Steffensen, "Calculating AccurateRip Checksums", 2009): each stereo
  frame is read as a little-endian 32-bit word (left sample low, right sample high), multiplied
  by its 1-based position in the track and summed modulo 2^32. The disc's first track leaves out
  its first 5 sectors less one frame (2939 frames), the last track its last 5 sectors (2940).
- AccurateRip v2: as v1, but each 64-bit product adds its high and its low 32 bits.
- CRC32: Python's zlib.crc32 of the track's bytes.
- Peak: the largest absolute 16-bit sample.

Usage: accuraterip_reference.py FILE BYTE_OFFSET FRAMES FIRST(0/1) LAST(0/1)
Prints: v1 v2 crc32 (8 hex digits each) and the peak (decimal).
"""
import struct
import sys
import zlib


def main():
    path, offset, frames, first, last = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), \
        sys.argv[4] == "1", sys.argv[5] == "1"
    with open(path, "rb") as f:
        f.seek(offset)
        data = f.read(frames * 4)
    assert len(data) == frames * 4, "file too short"
    start = 5 * 588 if first else 1
    end = frames - 5 * 588 if last else frames
    v1 = v2 = 0
    for i, (word,) in enumerate(struct.iter_unpack("<I", data), start=1):
        if start <= i <= end:
            product = word * i
            v1 = (v1 + product) & 0xFFFFFFFF
            v2 = (v2 + (product & 0xFFFFFFFF) + (product >> 32)) & 0xFFFFFFFF
    samples = struct.unpack("<%dh" % (frames * 2), data)
    peak = max((abs(s) for s in samples), default=0)
    print("%08x %08x %08x %d" % (v1, v2, zlib.crc32(data) & 0xFFFFFFFF, peak))


if __name__ == "__main__":
    main()
