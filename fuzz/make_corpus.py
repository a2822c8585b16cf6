#!/usr/bin/env python3
"""Writes the decoder's fuzzing seeds into fuzz/corpus: small printer streams assembled by hand."""
import os
import struct
import sys

ESC = b"\x1b"


def paren(code, payload):
    return ESC + b"(" + code + struct.pack("<H", len(payload)) + payload


def remote(name, payload):
    return name + struct.pack("<H", len(payload)) + payload


def raster(ink, comp, bpp, bytes_per_line, lines, data):
    return ESC + b"i" + bytes([ink, comp, bpp]) + struct.pack("<HH", bytes_per_line, lines) + data


EXIT_PACKET = b"\x00\x00\x00" + ESC + b"\x01@EJL 1284.4\n@EJL     \n"
ENTER_REMOTE = paren(b"R", b"\x00REMOTE1")
EXIT_REMOTE = ESC + b"\x00\x00\x00"
CLOCK = remote(b"TI", bytes([0, 0x07, 0xE5, 5, 22, 5, 44, 27]))


def raster_setup(units=(8, 8, 4), pitches=(32, 8)):
    return (paren(b"G", b"\x01") + paren(b"U", bytes(units) + struct.pack("<H", 5760)) + ESC + b"U\x00"
            + paren(b"i", b"\x00") + ESC + b"\x19\x31" + paren(b"C", struct.pack("<I", 8419))
            + paren(b"c", struct.pack("<ii", 28, 8334)) + paren(b"S", struct.pack("<II", 5953, 8419))
            + paren(b"K", b"\x00\x02") + paren(b"D", struct.pack("<H", 5760) + bytes(pitches))
            + paren(b"m", b"\x71") + paren(b"e", b"\x00\x12"))


def model1_start():
    return (EXIT_PACKET + ESC + b"@" + ESC + b"@" + ENTER_REMOTE + CLOCK + remote(b"JS", b"\x00job\x00")
            + remote(b"JH", b"\x00Norvale RIP\x00") + remote(b"PM", b"\x00\x00") + remote(b"DP", b"\x00\x00")
            + remote(b"SN", b"\x00") + remote(b"MI", b"\x00\x01\x0b\x63") + remote(b"US", b"\x00\x00\x00")
            + remote(b"US", b"\x00\x01\x00") + remote(b"US", b"\x00\x02\x00")
            + remote(b"EX", b"\x00\x00\x00\x00\x05\x00") + remote(b"FP", b"\x00\xb0\xff")
            + remote(b"PP", b"\x00\x01\xff") + EXIT_REMOTE + raster_setup())


def model2_start():
    return (EXIT_PACKET + ESC + b"@" + ESC + b"@" + ENTER_REMOTE + CLOCK + remote(b"IK", b"\x00\x31")
            + remote(b"JS", b"\x00\x00") + remote(b"JH", b"\x00\x00") + remote(b"PM", b"\x00\x00")
            + remote(b"DP", b"\x00\x00") + remote(b"SN", b"\x00") + remote(b"MI", b"\x00\x01\x0b\x63")
            + remote(b"US", b"\x00\x00\x00") + remote(b"US", b"\x00\x01\x00") + remote(b"US", b"\x00\x02\x00")
            + remote(b"EX", b"\x00\x00\x00\x00\x05\x00") + remote(b"FP", b"\x00\x00\x00")
            + remote(b"DR", b"\x00\x00\x00\x00") + remote(b"PH", b"\x00\x00") + remote(b"PP", b"\x00\x01\xff")
            + EXIT_REMOTE + raster_setup())


END = (ESC + b"@" + ENTER_REMOTE + remote(b"LD", b"") + EXIT_REMOTE + ESC + b"@" + ENTER_REMOTE
       + remote(b"LD", b"") + remote(b"JE", b"\x00") + EXIT_REMOTE + b"\x0c")


def packbits_line_blocks():
    """Two bands: per pass a feed, then a PackBits block per ink with runs across lines."""
    out = b""
    for band in range(2):
        out += paren(b"v", struct.pack("<I", 9 if band else 0))
        for hpass in range(2):
            for ink in (0x40, 0x02, 0x01, 0x04):
                if hpass:
                    out += paren(b"$", struct.pack("<I", 1))
                data = b"\xf9\x1b" + b"\x02\xe4\x00\x40" + b"\xfe\xff"  # 8 + 3 + 3 bytes, 2 lines of 7
                out += raster(ink, 1, 2, 7, 2, data) + b"\r"
    return out


def seeds():
    yield "model1_job", model1_start() + packbits_line_blocks() + END
    yield "model2_job", model2_start() + paren(b"v", struct.pack("<I", 3)) + raster(0x12, 0, 2, 2, 3, bytes(range(6))) + b"\r" + END
    yield "raw_1bpp", raster_setup() + raster(0x00, 0, 1, 2, 2, b"\xa5\x5a\xff\x01") + b"\r\x0c"
    yield "packbits_edges", (raster_setup() + raster(0x11, 1, 2, 128, 2, b"\x81\xff\x81\x00")
                             + b"\r" + raster(0x30, 1, 2, 3, 1, b"\x00\x01\xff\x02") + b"\r")
    yield "two_pages", (raster_setup() + raster(0x07, 0, 2, 1, 1, b"\xc0") + b"\r\x0c"
                        + paren(b"v", struct.pack("<H", 5)) + raster(0x0a, 0, 2, 1, 1, b"\x30") + b"\r\x0c")
    yield "moves_and_colours", (paren(b"U", b"\x0a") + paren(b"D", struct.pack("<H", 3600) + bytes([20, 10]))
                                + paren(b"i", b"\x01") + paren(b"V", struct.pack("<I", 40)) + ESC + b"\\\x05\x00"
                                + ESC + b"$\x10\x00" + ESC + b"r\x02" + paren(b"s", b"\x02")
                                + paren(b"r", b"\x00\x01") + paren(b"\\", struct.pack("<i", -3))
                                + raster(0x09, 0, 2, 1, 2, b"\x80\x40") + b"\n\r")
    yield "unknown_paren", (raster_setup() + paren(b"X", b"") + paren(b"Z", b"\x01\x02\x03")
                            + paren(b"R", b"\x00REMOTE2") + raster(0x3f, 0, 2, 1, 1, b"\xff") + b"\r")
    yield "remote_records", (ENTER_REMOTE + remote(b"SN", b"\x00\x01\x02") + remote(b"DP", b"\x00\x02")
                             + remote(b"EX", b"\x00\x00\x00\x00\x05\x01") + remote(b"PP", b"\x00\x03\x01")
                             + remote(b"PH", b"\x00\x05") + remote(b"DR", b"\x00\x01\x05\x00")
                             + remote(b"IR", b"\x00\x01") + remote(b"ZZ", b"\x07") + EXIT_REMOTE)
    yield "exit_packet", EXIT_PACKET + ESC + b"@" + b"\n\x0c"
    # Hostile sizes: one dot at the far corner of the decoder's page limits, and dots at the
    # right edge in 64 inks; both must stay small in time and memory.
    yield "far_dot", (raster_setup() + paren(b"v", struct.pack("<I", (1 << 20) - 64))
                      + paren(b"$", struct.pack("<I", (1 << 18) - 16)) + raster(0x00, 0, 2, 1, 1, b"\xc0") + b"\r")
    yield "many_inks", raster_setup() + b"".join(
        paren(b"$", struct.pack("<I", 18000)) + raster(ink, 0, 2, 1, 1, b"\xc0") + b"\r" for ink in range(64))


def main():
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")
    os.makedirs(folder, exist_ok=True)
    for name, data in seeds():
        with open(os.path.join(folder, name + ".prn"), "wb") as f:
            f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
