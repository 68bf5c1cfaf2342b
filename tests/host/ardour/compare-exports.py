#!/usr/bin/python3
"""Compares Ardour's offline exports of the plug-in: exports of the session with the automated
circuit change must be identical to the bit, equal to the export without automation up to the
automated time, and the new circuit must be heard within 60 ms of it. An export that differs is
checked for a shift of the whole file against the first, which is then named.

usage: compare-exports.py FIRST SECOND UNAUTOMATED SWITCH_SAMPLE [MORE EXPORTS...]
The exports are 32-bit float WAV files. Prints PASS/FAIL lines; exits non-zero on any failure."""

import array
import math
import struct
import sys


def read_float_wav(path):
    """(rate, channels, interleaved samples) of a 32-bit float WAV file."""
    with open(path, "rb") as f:
        data = f.read()

    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        raise ValueError(path + " is not a WAV file")

    pos, rate, channels, samples = 12, 0, 0, None

    while pos + 8 <= len(data):
        tag, size = data[pos:pos + 4], struct.unpack("<I", data[pos + 4:pos + 8])[0]
        body = data[pos + 8:pos + 8 + size]

        if tag == b"fmt ":
            fmt, channels, rate = struct.unpack("<HHI", body[:8])
            bits = struct.unpack("<H", body[14:16])[0]
            if fmt == 0xFFFE:
                fmt = struct.unpack("<H", body[24:26])[0]
            if fmt != 3 or bits != 32:
                raise ValueError(path + " is not 32-bit float")
        elif tag == b"data":
            samples = array.array("f")
            samples.frombytes(body[: len(body) // 4 * 4])

        pos += 8 + size + (size & 1)

    if samples is None or channels == 0:
        raise ValueError(path + " has no audio")

    return rate, channels, samples


failures = 0


def check(ok, what, detail=""):
    global failures
    print(("PASS " if ok else "FAIL ") + what + ("" if ok else ": " + detail))
    failures += 0 if ok else 1


(rate, channels, a), (_, _, b), (_, _, r) = (read_float_wav(p) for p in sys.argv[1:4])
switch = int(sys.argv[4])
more = [read_float_wav(p)[2] for p in sys.argv[5:]]
frames = len(a) // channels

check(len(a) == len(b) == len(r) and frames > switch, "exports of the whole range",
      f"{len(a)}, {len(b)}, {len(r)} samples for a change at frame {switch}")
head = a[: switch * channels]
check(math.sqrt(sum(x * x for x in head) / max(1, len(head))) > 0.01, "the export holds the processed sine", "silence")


def shift_against(x, y):
    """The whole-frame shift s (|s| <= 64) for which y[i] == x[i + s] over the second second,
    or None."""
    lo, hi = rate * channels, 2 * rate * channels
    for s in range(-64, 65):
        if all(y[i] == x[i + s * channels] for i in range(lo, hi, 7)):
            return s
    return None


def compare(other, what):
    same = len(other) == len(a)
    differing = [i for i in range(len(a)) if a[i] != other[i]] if same else []
    largest = max((abs(a[i] - other[i]) for i in differing), default=0.0)
    level = f"{20 * math.log10(largest):.0f} dB" if largest > 0 else "none"
    detail = "lengths differ" if not same else (f"{len(differing)} samples differ, the first at {differing[0] // channels / rate:.4f} s, by up to {level}" if differing else "")
    check(same and not differing, what, detail)
    print(f"NOTE {what}: {len(differing)} of {len(a)} samples differ, by up to {level}")

    if same and differing:
        s = shift_against(a, other)
        if s is None:
            print("NOTE the differing export is not a shifted copy of the first")
        else:
            print(f"NOTE the differing export is the first {abs(s)} frames {'early' if s > 0 else 'late'}")


compare(b, "two offline exports of the same automation are identical to the bit")

for n, other in enumerate(more, start=3):
    compare(other, f"export {n} equals the first to the bit")

if len(a) == len(r):
    # The first frame where the automated export leaves the unautomated one.
    at = next((i // channels for i in range(len(a)) if abs(a[i] - r[i]) > 1e-4), -1)
    delay_ms = (at - switch) * 1000.0 / rate
    check(at >= switch, "nothing changes before the automated time",
          f"the sound changed {-delay_ms:.1f} ms early" if at >= 0 else "")
    check(0 <= delay_ms <= 60.0, "the circuit changes within 60 ms of the automated time",
          f"{delay_ms:.1f} ms after it" if at >= 0 else "it never changed")
    if at >= 0:
        print(f"NOTE the circuit change is heard {delay_ms:.2f} ms after the automated time")

    # Long after the change the automated export is the other circuit's sound.
    start = (switch + rate // 2) * channels
    diff = sum((a[i] - r[i]) ** 2 for i in range(start, len(a)))
    ref = sum(r[i] ** 2 for i in range(start, len(a)))
    change = math.sqrt(diff / ref) if ref > 0 else 0.0
    check(change > 0.05, "after the change another circuit is heard", f"relative difference {change:.4f}")

sys.exit(1 if failures else 0)
