#!/usr/bin/env python3
"""Prints the tags of an MP3, Ogg Vorbis, FLAC, Opus or WMA file as mutagen reads them: one JSON object of
text values, an independent reader of what Harvelo writes.

MP3: the ID3v2 frames as stored (no conversion to v2.4), "TXXX:<description>",
"UFID:<owner>", "APIC", and "version" ("2.3"). Ogg Vorbis: the comment names in upper case.
FLAC and Opus as Ogg Vorbis; a FLAC file's PICTURE block reads as
"METADATA_BLOCK_PICTURE". WMA: the ASF attribute names. A picture reads "<mime type> <SHA-1 of its data> type <n>".
"""
import base64
import hashlib
import json
import struct
import sys

from mutagen.asf import ASF
from mutagen.flac import FLAC, Picture
from mutagen.id3 import ID3
from mutagen.oggopus import OggOpus
from mutagen.oggvorbis import OggVorbis


def picture(mime, data, kind):
    return f"{mime} {hashlib.sha1(data).hexdigest()} type {int(kind)}"


def id3_tags(path):
    tags = ID3(path, translate=False)
    out = {"version": f"2.{tags.version[1]}"}
    for frame in tags.values():
        fid = frame.FrameID
        if fid == "TXXX":
            out["TXXX:" + frame.desc] = "/".join(frame.text)
        elif fid == "UFID":
            out["UFID:" + frame.owner] = frame.data.decode("latin-1")
        elif fid == "APIC":
            out["APIC"] = picture(frame.mime, frame.data, frame.type)
        elif fid.startswith("T"):
            out[fid] = "/".join(str(t) for t in frame.text)
    return out


def vorbis_tags(path, kind=OggVorbis):
    out = {}
    audio = kind(path)
    for key, value in audio.tags or []:
        key = key.upper()
        if key == "METADATA_BLOCK_PICTURE":
            pic = Picture(base64.b64decode(value))
            out[key] = picture(pic.mime, pic.data, pic.type)
        else:
            out[key] = value
    for pic in getattr(audio, "pictures", []):
        out["METADATA_BLOCK_PICTURE"] = picture(pic.mime, pic.data, pic.type)
    return out


def utf16_string(data, at):
    end = at
    while data[end:end + 2] != b"\0\0":
        end += 2
    return data[at:end].decode("utf-16-le"), end + 2


def asf_picture(data):
    kind, size = struct.unpack_from("<BI", data, 0)
    mime, at = utf16_string(data, 5)
    _, at = utf16_string(data, at)
    return picture(mime, data[at:at + size], kind)


def asf_tags(path):
    out = {}
    for key, values in ASF(path).tags.items():
        value = values[0].value
        out[key] = asf_picture(value) if key == "WM/Picture" else str(value)
    return out


def main():
    path = sys.argv[1]
    readers = {"mp3": id3_tags, "ogg": vorbis_tags, "wma": asf_tags,
               "flac": lambda p: vorbis_tags(p, FLAC), "opus": lambda p: vorbis_tags(p, OggOpus)}
    print(json.dumps(readers[path.rsplit(".", 1)[-1].lower()](path)))


if __name__ == "__main__":
    main()
