#!/usr/bin/env python3
"""Writes small seed WAVE files of every variant the reader knows into the folder given."""
import math
import os
import struct
import sys


def chunk(cid, body, pad=True):
    out = cid + struct.pack("<I", len(body)) + body
    return out + (b"\0" if pad and len(body) % 2 else b"")


def fmt(channels, rate, bits, tag=1, extra=None):
    block = channels * bits // 8
    body = struct.pack("<HHIIHH", tag, channels, rate, rate * block, block, bits)
    if extra is not None:
        body += struct.pack("<H", len(extra)) + extra
    return chunk(b"fmt ", body)


def riff(*chunks):
    body = b"WAVE" + b"".join(chunks)
    return b"RIFF" + struct.pack("<I", len(body)) + body


def samples(channels, bits, frames):
    out = bytearray()
    for i in range(frames):
        v = math.sin(i * 0.3)
        for _ in range(channels):
            out += bytes([int(128 + 100 * v)]) if bits == 8 else struct.pack("<h", int(20000 * v))
    return bytes(out)


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    seeds = {}
    for channels in (1, 2):
        for bits in (8, 16):
            seeds[f"pcm_{channels}_{bits}"] = riff(fmt(channels, 22050, bits), chunk(b"data", samples(channels, bits, 40)))
    seeds["reversed"] = riff(chunk(b"data", samples(1, 8, 33)), chunk(b"LIST", b"INFOabc"), fmt(1, 8000, 8))
    seeds["extensible"] = riff(fmt(2, 44100, 16, 0xFFFE, b"\x10\x00" + bytes(20)), chunk(b"data", samples(2, 16, 9)))
    seeds["adpcm"] = riff(fmt(1, 22050, 4, 2, b"\xf4\x01\x07\x00"), chunk(b"fact", b"\0\1\0\0"), chunk(b"data", bytes(64)))
    seeds["odd_unpadded"] = riff(fmt(1, 11025, 8), chunk(b"data", samples(1, 8, 7), pad=False))
    for name, data in seeds.items():
        with open(os.path.join(folder, name + ".wav"), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
