#!/usr/bin/env python3
"""Writes the seed inputs of every fuzz target into tests/fuzz/corpus/<target>/seed-*.

Seeds are valid inputs of each parser, so that the fuzzer starts from the accepting paths.
Beside them the folders keep a fuzzing run's corpus minimised with libFuzzer's -merge=1 and any
input that once made a target fail, named after its hash."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def crc16(data):
    crc = 0xFFFF
    for b in data:
        crc ^= b
        for _ in range(8):
            crc = (crc >> 1) ^ 0xA001 if crc & 1 else crc >> 1
    return crc


def with_crc(frame):
    c = crc16(frame)
    return bytes(frame) + bytes([c & 0xFF, c >> 8])


def text_record(text):
    s = sum((ord(c) ^ 0x7171) for c in text) & 0xFFFFFFFF
    if s >= 1 << 31:
        s -= 1 << 32
    return text.encode('latin-1') + b'\x1a' + str(s).encode()


def configuration_text(value_of):
    blocks = [(2000, 46), (2500, 42), (3000, 26), (4000, 20), (4500, 18), (5000, 56), (5500, 150), (6000, 14)]
    fields = []
    for start, count in blocks:
        words = [value_of(r) & 0xFFFF for r in range(start, start + count - 1)]
        words.append(crc16(b''.join(struct.pack('<H', w) for w in words)))
        fields += [str(w) for w in words]
    return ''.join(f + '|' for f in fields)


def pack(lines):
    total = 0
    for n, line in enumerate(lines[:635]):
        for i, c in enumerate(line, start=1):
            total = (total + (ord(c) ^ (n * i))) & 0xFFFFFFFF
    lines = lines + ['%08X' % total]
    return b'\xff\xfe' + ''.join(l + '\r\n' for l in lines).encode('utf-16-le')


def events(records, now=100000000):
    words = []
    for time, value, code, check in records:
        words += [time & 0xFFFF, time >> 16 & 0xFFFF, value & 0xFFFF, value >> 16 & 0xFFFF, check << 8 | code]
    # device clock, computer clock (seconds + 2^31), entries loaded before
    head = struct.pack('>IIH', now, 0x80000000 + 1_700_000_000, 0)
    return head + b''.join(struct.pack('>H', w) for w in words)


def read_request(slave, function, start, count):
    return with_crc(struct.pack('>BBHH', slave, function, start, count))


def write_request(slave, start, values):
    return with_crc(struct.pack('>BBHHB', slave, 16, start, len(values), 2 * len(values))
                    + b''.join(struct.pack('>H', v) for v in values))


SETTINGS = 'COM3|2|1|0|0|255|32768|128|32896|8388608|8421504|12632256|65280|65535|16711680|0|8388736|' \
           '1|1|0|0|0|1|0|0|0|0|1|0|0|1|2|3|0|0|1|2|3|0|0|'

SEEDS = {
    'text_record': [text_record('1|2|3|'), text_record(SETTINGS), text_record('')],
    'config_text': [configuration_text(lambda r: r * 7919 % 65536).encode(),
                    configuration_text(lambda r: 0x20 if 5500 <= r < 5505 else 0).encode()],
    'settings_text': [SETTINGS.encode('latin-1'), b'COM1|9|0|3|1|'],
    'language_pack': [pack(['t%d' % n for n in range(635)]), pack(['\u0393\u03b5\u03b9\u03ac|x'] * 635)],
    # function choice, slave - 1, start, count - 1, then the answer as collected
    'modbus_answer': [bytes([0, 0, 0, 10, 0]) + with_crc(bytes([1, 3, 2, 0x12, 0x34])),
                      bytes([2, 0, 0x17, 0x70, 2]) + with_crc(bytes([1, 16, 0x17, 0x70, 0, 3]))],
    'event_record': [events([(99999000, 0x3F800000, 3, 0x5A), (99999500, 1234, 20, 0), (0, 0, 255, 0)]),
                     events([(1, 0xFFFFFFFF, 11, 1), (2, 7, 1, 2), (3, 7, 25, 3)])],
    'typed_number': [b'\x00' + b'1.500', b'\x07' + b'-0,5', b'\x00' + b'3.4e38', b'\x09' + b' 12 '],
    'sim_request': [b'\x07' + read_request(1, 3, 2000, 46) + read_request(1, 4, 7000, 10),
                    b'\x03' + write_request(1, 2000, [1, 2, 3]) + read_request(2, 3, 0, 1)],
}

for target, seeds in SEEDS.items():
    folder = os.path.join(HERE, 'corpus', target)
    os.makedirs(folder, exist_ok=True)
    for n, data in enumerate(seeds, start=1):
        with open(os.path.join(folder, 'seed-%d' % n), 'wb') as f:
            f.write(data)
