#!/usr/bin/env python3
"""Writes the committed seed corpora under fuzz/corpus/<target>/ from the rows of the test
tables (tests/tst_*.cpp). Run it again after changing a list below; files are named by content,
so a seed kept from a finding (fuzz/corpus/<target>/finding-*) is left alone."""

import hashlib
import pathlib
import struct

HERE = pathlib.Path(__file__).resolve().parent

# tst_hexcodec.cpp hexCommand_data, textCommand_data; tst_rows.cpp sends.
HEX = [
    "41 54 0D 0A", "415", "41 5", "4 15", "GG", "zz zz", "  ", "0d0a", "  4", "中1", "ÿF",
    "41", "41 54", "", "0", "4F 4B 0D 0A", "00", "FF 80 7F", "1A", "aT\r\n", "AT",
]

# tst_mainwindow.cpp rowListsHoldRowsInOrder: the six column names of rows 1 to 150; tst_rows.cpp
# delay texts; names whose tail is no row number.
ROWNAMES = [
    "checkBox_selectList_1", "checkBox_hexList_37", "checkBox_enterList_150",
    "lineEdit_cmdList_26", "lineEdit_delayList_100", "pushButton_sendList_125",
    "checkBox_p0_CmdSelectAll", "tab_5", "noUnderscore", "x_", "_", "x_abc", "x_-3", "x_ 12 ",
    "x_007", "a_b_12", "x_+7", "x_2147483647", "x_2147483648", "x_-2147483648", "x_1e3",
    "x_١٢", "x_0x1F",
]

# Console: header (flags, split, piece size, stamp time, carry piece size) + chunk.
# Flags: bit 0 stamps, bit 1 tagged, bit 2 received, bits 3-4 text buffer end, bits 5-6 hex
# buffer end (0 nothing, 1 LF, 2 a character, 3 CR).
def console(flags, split, chunk, piece=8, when=0, carry=1):
    return struct.pack("<BHBHB", flags, split, piece - 1, when, carry - 1) + chunk

CONSOLE = [
    # tst_console.cpp rendering_data
    console(0b0000101, 2, b"OK\r\n"),
    console(0b0000101, 1, b"\r\nOK\r\n"),
    console(0b0000101, 1, b"AB"),
    console(0b0110101 | 0b10000, 2, b"CD\r\n"),
    console(0b0001001, 3, b"OK\r\n"),
    console(0b0000001, 3, b"L1\rL2\r"),
    console(0b1111101, 1, b"L2\r"),
    console(0b0000001, 1, b"\n\n\n"),
    console(0b1010000, 1, b"CD"),
    console(0b0101000, 1, b"B\n"),
    console(0b0000000, 2, b"A\nB\n"),
    console(0b0000001, 2, b"\xA0\n\xAA"),
    console(0b0000001, 1, b"A\x00B"),
    console(0b0000000, 3, b"<img src=x>"),
    console(0b0000001, 0, b""),
    console(0b1010011, 0, b""),
    # tst_hexcodec.cpp hexRendition_data, textRendition_data, carryAcrossChunks_data
    console(0b0000000, 1, b"\xFF\x80\x7F"),
    console(0b0000110, 1, b"\x00\x00"),
    console(0b0000001, 2, b"\xE4\xB8\xAD!"),
    console(0b0000001, 2, b"a\xE4\xB8\xAD"),
    console(0b0000001, 1, b"\xF0\x9F\x98\x80", carry=1),
    console(0b0000001, 1, b"\xC3\xA9", carry=2),
    console(0b0000000, 3, b"\xE4\xB8\xADx"),
    console(0b0000000, 1, b"\xC0x"),
    console(0b0000000, 2, b"\x80\x80x"),
    console(0b0000001, 2, b"\xE4\xB8ok"),
    console(0b0000001, 1, b"\xE4\x00"),
    # pieces_data: LFs, CR LF and a surrogate pair around small piece sizes
    console(0b0000000, 0, b"ab\ncd\nefgh", piece=7),
    console(0b0000000, 0, b"abc\r\ndef", piece=4),
    console(0b0000000, 0, "ab\U0001F600cd".encode(), piece=3),
    # A module's replies with tagged stamps
    console(0b0000111, 9, b"AT+CSQ\r\r\n+CSQ: 23,99\r\n\r\nOK\r\n", when=1234),
]

# ANSI: header (flags, four cut places) + text; tst_console.cpp ansi_data and a coloured log.
# Flags bit 0: decode the text from UTF-8.
def ansi(text, cuts=(0, 0, 0, 0), utf8=0):
    return bytes([utf8, *cuts]) + text

ANSI = [
    ansi(b"abc"),
    ansi(b"\x1b[0;32mI (318) cpu_start: up\x1b[0m\r\n", cuts=(3, 9, 30, 40)),
    ansi(b"\x1b[31mA\x1b[mB\x1b[1mC\x1b[22mD\x1b[3;4mE\x1b[23;24mF\x1b[4:3mG\x1b[4:0mH"),
    ansi(b"\x1b[93;104mX\x1b[31;42mA\x1b[39mB\x1b[49mC", cuts=(1, 2, 5, 6)),
    ansi(b"\x1b[38;5;196mA\x1b[48;5;4mB\x1b[38:5:9mC", cuts=(4, 8, 12, 16)),
    ansi(b"\x1b[38;2;10;20;30mA\x1b[38:2::10:20:31mB\x1b[48;2;0;0;0mC\x1b[38;2;255;255;0mD"),
    ansi(b"A\x1b[2KB\x1b[1;1HC\x1b[?25lD\x1b[2JE\x1b[>4;1mF"),
    ansi(b"A\x1b(B\x1b\x1b[31mC\x1b[3\n1mA", cuts=(2, 2, 3, 4)),
    ansi(b"\x1b[31;;;;1mA\x1b[38;5mB\x1b[38;5;300mC\x1b[38;2;1;2mD\x1b[99999999999999999999mF"),
    ansi(b"\x1b[31m\xff\xc0x\x1b[0m\xe4\xb8\xad", utf8=1, cuts=(6, 7, 8, 12)),
    ansi(b"A\x1b", cuts=(1, 2, 2, 2)),
    ansi(b"\x1b[" + b"0" * 60 + b"1mA\x1b[0" + b"0" * 60 + b"1mB", cuts=(20, 64, 70, 100)),
    ansi(b"\x1b[" + b"1" * 200 + b"mA", cuts=(63, 64, 65, 66)),
    ansi(b"\x1b[1;31mE (42) app: failed\x1b[0m\r\n\x1b[0;33mW (43) app: slow\x1b[0m\r\n",
         cuts=(1, 2, 26, 27)),
]

# Configuration files as tst_config.cpp writes them, after one byte of flags (bit 0: load as
# "config.ini", which applies the global block).
CONFIG_FILES = [
    b"",
    b"[globalSetting]\nshowInHex=true\n", b"[globalSetting]\nshowInHex=True\n",
    b"[globalSetting]\nshowTime=TRUE\n", b"[globalSetting]\nsendHex=1\n",
    b'[globalSetting]\nsendWithEnter = "true"\n', b"[globalSetting]\nbaudrate=9600\n",
    b"[globalSetting]\nbaudrate=12345\n", b"[globalSetting]\nparity=even\n",
    b"[globalSetting]\nstopbits=\n",
    b"[TabName]\n0=Alpha\n2=\n6=Ghost\n[0]\ncmd=zero\nselect=true\n[1]\ncmd=AT\nselect=true\n"
    b"hex=true\nenter=true\ndelay=100\n[151]\ncmd=x\n",
    b"[TabName]\n1=Old name\n[7]\ncmd=old\n",
    b"[TabName]\n1=\\x65b0\\x540d\\x5b57\n[7]\ncmd=new\n",
    b"[TabName]\n3=\\x4e2d\\x6587\\x9875\n[7]\ncmd=AT+CMGS=\"123\"\n",
    b"[1]\ncmd=first\n[2]\n[1]\ncmd=second\n",
    b"[0]\ncmd=zero\n[151]\ncmd=x\n[TabName]\n6=Ghost\n-1=Minus\n",
    b"[1\ncmd=\"open\n[2]\ncmd=x\n",
    b"[1]\ncmd=@@Variant(x)\n", b"[1]\ncmd=AT @Variant(x)\n",
    b"[globalSetting]\nrunTimes=@Variant(\\0\\0\\0\\v\\x7f\\xff\\xff\\xff)\n",
    b"[1]\ncmd = \"@Variant(\\0\\0\\0\\v\\x7f\\xff\\xff\\xff)\"\n",
    b"[1]\ndelay=@DateTime(\\0)\n",
    b"[1]\ncmd=@ByteArray(AT)\n[2]\ncmd=@Rect(1 2 3 4)\n[3]\ncmd=@Size(1 2)\n"
    b"[4]\ncmd=@Point(1 2)\n[5]\ncmd=@Invalid()\n",
    b"[1]\ncmd=a, b, \"c,d\"\n",
    b"[General]\nx=1\n; comment\n[%31]\ncmd=percent\n",
    b"[globalSetting]\nrunTimes=3\ndelay=500\nbaudrate=115200\ndatabits=8\nparity=None\n"
    b"flowcontrol=NONE\nstopbits=1\nshowInHex=false\nshowTime=true\nsendHex=false\n"
    b"sendWithEnter=true\n[150]\ncmd=ATI\nselect=true\n",
    b"[1]\r\ncmd=AT\r\nselect=true\r\n",
]
CONFIG = [bytes([flags]) + content for content in CONFIG_FILES for flags in (0, 1)]

# Find: header (flags, needle length, schedule seed) + needle + text; tst_find.cpp matches_data,
# chunks_data and dropFront_data. Flags bit 0: ignore case.
def find(needle, text, flags=0, seed=0):
    needle = needle.encode()
    return bytes([flags, len(needle), seed]) + needle + text.encode()

FIND = [
    find("OK", "OK\r\nOK\r\n"), find("aa", "aaaaa"), find("error", "Error error ERROR", 1),
    find("ÄRGER", "Ärger ärger", 1), find("0d 0a", "[12-07 14:03:27:045]4F 4B 0D 0A\n", 1),
    find("*", "a*b.*c"), find("[", "[x] ["), find("\\", "C:\\x\\0"), find("", "abc"),
    find("ababc", "abababcab", 0, 7), find("aaab", "aaaab", 0, 3), find("😀", "😀x😀", 1),
    find("abab", "xababab", 0, 1), find("abc", "xabcxab", 0, 2),
]

# Telnet: header (flags, four cut places) + what the server sends; tst_telnet.cpp receiving_data.
# Flags: bit 0 binary granted before, bit 1 COM-port option taken before, bit 2 settings asked for.
IAC, SB, SE, WILL, WONT, DO, DONT = 255, 250, 240, 251, 252, 253, 254

def telnet(stream, flags=1, cuts=(0, 0, 0, 0)):
    return bytes([flags, *cuts]) + stream

def sb(*body):
    return bytes([IAC, SB, 44, *body, IAC, SE])

TELNET = [
    telnet(b"A" + bytes([IAC, 241]) + b"B" + bytes([IAC, 249, IAC, 242]) + b"C", cuts=(1, 2, 3, 4)),
    telnet(b"OK" + sb(107, 0xB1) + b"\r\n", cuts=(2, 3, 4, 9)),
    telnet(sb(101, 0, 1, 0xC2, 0) + sb(103, 3) + sb(104, 3) + sb(105, 9) + sb(106, 0x10)),
    telnet(sb(101, 0, 0, IAC, IAC, IAC, IAC) + sb(108) + sb(109), cuts=(5, 6, 7, 8)),
    telnet(b"A" + bytes([IAC, SB, 44, 107, 0x10, IAC, 241]) + b"B" + sb(107, 0x20)),
    telnet(b"A" + bytes([IAC, SB, 44, 107]) + b"\x10" * 400 + bytes([IAC, SE]) + b"B"),
    telnet(bytes([IAC, WILL, 1, IAC, DO, 24, IAC, WILL, 1, IAC, DO, 24, IAC, DONT, 24])),
    telnet(bytes([IAC, WONT, 0, IAC, WILL, 0, IAC, DO, 3, IAC, WILL, 44]), cuts=(1, 2, 4, 8)),
    telnet(bytes([IAC, DO, 44, IAC, DONT, 44, IAC, DO, 44]), flags=4),
    telnet(b"a\r\x00b\r\n\rc\x00\xff\xff\r" + bytes([IAC, 241, 0]), flags=0),
    telnet(b"\r\x00" + bytes([IAC, WILL, 0]) + b"\r\x00", flags=0, cuts=(1, 2, 3, 4)),
    telnet(b"\xff", flags=3),
    telnet(b"\r" + bytes([IAC, WILL, 0]) + b"x" + bytes([IAC, WONT, 0]) + b"\x00", flags=0,
           cuts=(4, 5, 5, 5)),
    telnet(b"\r" + bytes([IAC, WILL, 0, IAC, WONT, 0]) + b"\x00\x00", flags=0, cuts=(4, 5, 5, 5)),
]

# XMODEM: header (protocol 0-2 for XMODEM, XMODEM-1K, YMODEM; echo; shrinking file; retries; file
# size; where it shrinks, in 20-byte units) + operations; tst_xmodem.cpp conversation_data.
def xm(protocol, size, *ops, echo=0, shrinks=None, retries=10):
    flags = protocol | echo << 2 | (8 if shrinks is not None else 0) | retries << 4
    return struct.pack("<BHB", flags, size, (shrinks or 0) // 20) + b"".join(ops)

def tok(t, n=1):  # C, NAK, ACK, CAN, ACK C, EOT, SOH, 0xFF, n times in one chunk
    return bytes([0x80 | t << 3 | (n - 1)])

def wait(ms):
    return bytes([0x40 | min(63, ms // 7)])

def chunk(data):
    return bytes([len(data) - 1]) + data

C, NAK, ACK, CAN, ACKC = 0, 1, 2, 3, 4
XMODEM_SEEDS = [
    xm(0, 300, tok(C), tok(ACK), tok(ACK), tok(ACK), tok(ACK)),
    xm(0, 129, tok(NAK), tok(ACK), tok(NAK), tok(ACK), tok(NAK), tok(ACK)),
    xm(1, 2200, tok(C), tok(ACK), tok(ACK), tok(ACK), tok(ACK)),
    xm(1, 1025, tok(NAK), tok(ACK, 2), tok(ACK), tok(ACK)),
    xm(2, 1025, tok(C), tok(ACK), tok(C), tok(ACK), tok(ACK), tok(ACKC), tok(ACK)),
    xm(2, 0, tok(C), tok(ACKC), tok(ACKC), tok(NAK), tok(ACK)),
    xm(0, 200, tok(C), *[tok(NAK)] * 11),
    xm(0, 200, tok(C), tok(ACK), *[wait(441)] * 12, retries=3),
    xm(1, 200, tok(C), tok(CAN, 2)),
    xm(0, 200, chunk(b"\x18x\x18C"), tok(ACK), tok(CAN), tok(ACK)),
    xm(0, 4000, chunk(b"C"), *[tok(ACK)] * 8, echo=1),
    xm(2, 3000, tok(C), tok(ACKC), tok(ACK), tok(ACK), shrinks=1500),
    xm(1, 3000, tok(C), tok(ACK), b"\xc0", tok(ACK)),
    xm(0, 500, tok(C), b"\xc1", tok(ACK), b"\xc5"),
    xm(2, 100, wait(441), wait(441), tok(C), tok(ACK), wait(441), tok(C)),
]

def write(target, seeds):
    folder = HERE / "corpus" / target
    folder.mkdir(parents=True, exist_ok=True)
    for seed in seeds:
        data = seed.encode() if isinstance(seed, str) else seed
        (folder / ("seed-" + hashlib.sha1(data).hexdigest()[:12])).write_bytes(data)

write("fuzz_hex", HEX)
write("fuzz_rowname", ROWNAMES)
write("fuzz_console", CONSOLE)
write("fuzz_ansi", ANSI)
write("fuzz_config", CONFIG)
write("fuzz_find", FIND)
write("fuzz_telnet", TELNET)
write("fuzz_xmodem", XMODEM_SEEDS)
