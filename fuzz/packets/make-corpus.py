#!/usr/bin/env python3
"""Writes the seed corpus of the packet fuzz target: one valid packet per
file, its id byte first, covering every kind of field and each conditional
tail and list payload; and a few streams of several packets for the receive
buffer: a session's opening, a metadata list long enough that its tries are
spaced out, a stream cut short, and a fault after good packets.

Usage: make-corpus.py OUTDIR"""
import os, struct, sys, zlib


def byte(v): return struct.pack(">b", v)
def ubyte(v): return struct.pack(">B", v)
def boolean(v): return ubyte(1 if v else 0)
def short(v): return struct.pack(">h", v)
def int32(v): return struct.pack(">i", v)
def long64(v): return struct.pack(">q", v)
def f32(v): return struct.pack(">f", v)
def f64(v): return struct.pack(">d", v)
def str16(text): return short(len(text)) + text.encode("utf-16-be")


def compressed(payload):
    block = zlib.compress(payload)
    return int32(len(block)) + block


def metadata():
    return (ubyte(0x00) + byte(5) + ubyte(0x21) + short(10) + ubyte(0x42) + int32(7)
            + ubyte(0x63) + f32(1.5) + ubyte(0x84) + str16("Rex")
            + ubyte(0xA5) + short(280) + byte(1) + short(0)
            + ubyte(0xC6) + int32(1) + int32(64) + int32(-3) + ubyte(0x7F))


def column():
    """A full 16 x 128 x 16 column: stone below 60, air above, sky light
    in the air."""
    types = bytearray()
    sky = []
    for _ in range(16 * 16):
        for y in range(128):
            types.append(1 if y < 60 else 0)
            sky.append(15 if y >= 60 else 0)
    nibbles = [0] * len(types) + [0] * len(types) + sky
    packed = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, len(nibbles), 2))
    return bytes(types) + packed


def chunk_box(size_x, size_y, size_z, payload):
    return (int32(-16) + short(0) + int32(32) + byte(size_x) + byte(size_y) + byte(size_z)
            + compressed(payload))


PACKETS = {
    "00-ping": ubyte(0x00) + int32(12345),
    "01-login": ubyte(0x01) + int32(42) + str16("") + long64(-8765) + int32(0)
                + byte(0) + byte(1) + byte(-128) + byte(20),
    "02-handshake": ubyte(0x02) + str16("2e66f1dc027ab9f6"),
    "03-chat": ubyte(0x03) + str16("<Alice> hello \u00e9\u20ac"),
    "04-time-update": ubyte(0x04) + long64(6000),
    "05-entity-equipment": ubyte(0x05) + int32(7) + short(0) + short(276) + short(0),
    "06-spawn-point": ubyte(0x06) + int32(-8) + int32(64) + int32(8),
    "08-update-health": ubyte(0x08) + short(20) + short(18) + f32(5.0),
    "09-respawn": ubyte(0x09) + byte(0) + byte(1) + byte(0) + short(128) + long64(99),
    "0B-position": ubyte(0x0B) + f64(8.5) + f64(64.0) + f64(65.62) + f64(-3.25) + boolean(True),
    "0D-position-and-look": ubyte(0x0D) + f64(8.5) + f64(65.62) + f64(64.0) + f64(-3.25)
                            + f32(90.0) + f32(-12.5) + boolean(True),
    "0E-player-dig": ubyte(0x0E) + byte(2) + int32(10) + byte(63) + int32(-4) + byte(1),
    "11-use-bed": ubyte(0x11) + int32(3) + byte(0) + int32(1) + byte(64) + int32(2),
    "14-named-entity-spawn": ubyte(0x14) + int32(77) + str16("Bob") + int32(-320)
                             + int32(2048) + int32(96) + byte(-128) + byte(16) + short(0),
    "15-pickup-spawn": ubyte(0x15) + int32(5) + short(4) + byte(1) + short(0) + int32(1)
                       + int32(2) + int32(3) + byte(4) + byte(5) + byte(6),
    "17-add-object": ubyte(0x17) + int32(9) + byte(10) + int32(1) + int32(2) + int32(3),
    "17-add-object-moving": ubyte(0x17) + int32(9) + byte(60) + int32(1) + int32(2)
                            + int32(3) + int32(77) + short(-1) + short(2) + short(3),
    "18-mob-spawn": ubyte(0x18) + int32(50) + byte(90) + int32(100) + int32(2048)
                    + int32(-100) + byte(0) + byte(0) + metadata(),
    "19-entity-painting": ubyte(0x19) + int32(8) + str16("Kebab") + int32(1) + int32(64)
                          + int32(2) + int32(3),
    "1C-entity-velocity": ubyte(0x1C) + int32(9) + short(100) + short(-200) + short(0),
    "22-entity-teleport": ubyte(0x22) + int32(9) + int32(320) + int32(2080) + int32(-64)
                          + byte(64) + byte(-10),
    "28-entity-metadata": ubyte(0x28) + int32(9) + metadata(),
    "29-entity-effect": ubyte(0x29) + int32(9) + byte(1) + byte(0) + short(600),
    "32-prechunk": ubyte(0x32) + int32(-1) + int32(2) + byte(1),
    "33-map-chunk-column": ubyte(0x33) + chunk_box(15, 127, 15, column()),
    "33-map-chunk-odd": ubyte(0x33) + chunk_box(2, 0, 0, bytes([1, 2, 3, 0x01, 0x23, 0x45,
                                                                0x67, 0x8F])),
    "34-multi-block-change": ubyte(0x34) + int32(3) + int32(-4) + short(2) + short(0x1A40)
                             + short(-3201) + byte(1) + byte(56) + byte(0) + byte(9),
    "35-block-change": ubyte(0x35) + int32(10) + byte(64) + int32(-10) + byte(1) + byte(0),
    "36-block-action": ubyte(0x36) + int32(10) + short(64) + int32(-10) + byte(0) + byte(12),
    "3C-explosion": ubyte(0x3C) + int32(100) + byte(-2) + int32(-100) + f32(3.5) + int32(2)
                    + byte(1) + byte(-1) + byte(2) + byte(0) + byte(3) + byte(-4),
    "3D-sound": ubyte(0x3D) + int32(1002) + int32(1) + byte(64) + int32(2) + int32(0),
    "46-state-change": ubyte(0x46) + byte(3) + byte(1),
    "47-thunderbolt": ubyte(0x47) + int32(11) + boolean(True) + int32(1) + int32(2) + int32(3),
    "64-open-window": ubyte(0x64) + byte(1) + byte(0) + str16("Chest") + byte(27),
    "67-set-slot-empty": ubyte(0x67) + byte(0) + short(36) + short(-1),
    "67-set-slot-item": ubyte(0x67) + byte(0) + short(36) + short(5) + byte(3) + short(9),
    "68-window-items": ubyte(0x68) + byte(0) + short(3) + short(-1) + short(7) + byte(3)
                       + short(9) + short(-1),
    "6A-transaction": ubyte(0x6A) + byte(0) + short(12) + boolean(False),
    "82-update-sign": ubyte(0x82) + int32(1) + short(64) + int32(2) + str16("Welcome")
                      + str16("") + str16("to the") + str16("spawn"),
    "83-item-data": ubyte(0x83) + short(358) + short(1) + ubyte(0xC8) + bytes(range(200)),
    "C8-statistic": ubyte(0xC8) + int32(1000) + byte(1),
    "C9-player-list-item": ubyte(0xC9) + str16("Alice") + boolean(True) + short(35),
    "FF-disconnect": ubyte(0xFF) + str16("Server closed"),
}


def long_metadata(entries):
    return b"".join(ubyte(i % 32) + byte(i % 100) for i in range(entries)) + ubyte(0x7F)


STREAMS = {
    "stream-opening": PACKETS["02-handshake"] + PACKETS["01-login"] + PACKETS["06-spawn-point"]
                      + PACKETS["04-time-update"] + PACKETS["0D-position-and-look"]
                      + PACKETS["00-ping"],
    "stream-long-metadata": ubyte(0x28) + int32(9) + long_metadata(6000) + PACKETS["00-ping"]
                            + PACKETS["03-chat"],
    "stream-cut-short": PACKETS["03-chat"] + PACKETS["68-window-items"]
                        + PACKETS["0D-position-and-look"][:20],
    "stream-fault-after-packets": PACKETS["03-chat"] + PACKETS["00-ping"]
                                  + ubyte(0x07) + int32(1) + int32(2) + byte(2)
                                  + PACKETS["00-ping"],
}


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, packet in {**PACKETS, **STREAMS}.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(packet)


if __name__ == "__main__":
    main()
