#!/usr/bin/env python3
"""Sermora and CuteCom side by side on one stream: each real program, started on the X server at
DISPLAY (scripts/bench starts a private Xvfb at 96 dpi), opens the slave end of a pseudo-terminal
at 921600 baud with time stamps on, and the bench writes NMEA-like lines into the master end at a
real UART's pace (90 KiB/s), in the text view and, started afresh, in the hex view. It reports each
program's whole CPU time (all its threads, from the kernel's account) per MiB received, the same
way for all. The programs are driven as a user would, by clicks (xdotool): with no window manager
the windows sit at the top left of the screen, so the controls are at fixed points: those of a
96-dpi screen, where the Qt 5 and the Qt 6 build lay the window out alike.

Usage: bench_receive_x11.py [runs, default 2]   (SERMORA_BINARY: the program to measure;
SERMORA_QT6_BINARY, when set: its Qt 6 build, measured beside it as sermora_qt6)
"""
import os
import pty
import select
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

RATE = 92160  # bytes per second: 921600 baud, 10 bits per byte
TOTAL = 1024 * 1024


def nmea_lines():
    block = b''
    i = 0
    while len(block) < 64 * 1024:
        block += b'$GPGGA,123519,%d,4807.038,N,01131.000,E,1,08*47\r\n' % i
        i += 1
    return block


BLOCK = nmea_lines()


def cpu_seconds(pid):
    fields = open('/proc/%d/stat' % pid).read().rsplit(')', 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf('SC_CLK_TCK')


def stream(master):
    """Writes TOTAL bytes at RATE, a little every millisecond, as a USB adapter delivers them."""
    start = time.monotonic()
    sent = 0
    while sent < TOTAL:
        due = min(int(RATE * (time.monotonic() - start)), TOTAL) - sent
        if due <= 0:
            time.sleep(0.001)
            continue
        offset = sent % len(BLOCK)
        try:
            sent += os.write(master, BLOCK[offset:offset + min(due, len(BLOCK) - offset)])
        except BlockingIOError:
            select.select([], [master], [], 0.1)


def click(x, y):
    subprocess.run(['xdotool', 'mousemove', str(x), str(y), 'click', '1'], check=True)
    time.sleep(0.5)


def sermora(binary):
    """The start of the Sermora at `binary`: with the line parameters and the view in its
    config.ini, it opens `port`."""
    def start(folder, port, hex_view):
        with open(os.path.join(folder, 'config.ini'), 'w') as ini:
            ini.write('[globalSetting]\nbaudrate=921600\ndatabits=8\nparity=None\n'
                      'flowcontrol=NONE\nstopbits=1\nshowTime=true\nshowInHex=%s\n'
                      % ('true' if hex_view else 'false'))
        env = dict(os.environ, SERMORA_EXTRA_PORTS=port)
        program = subprocess.Popen([binary], cwd=folder, env=env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(3)
        # The pty is the last entry of the port selector; then OPEN.
        click(108, 68)
        subprocess.run(['xdotool', 'key', 'End', 'Return'], check=True)
        time.sleep(0.5)
        click(514, 81)
        return program
    return start


def cutecom(folder, port, hex_view):
    """Starts CuteCom with a session for `port` (no reconnecting: a pty is not in its port
    list, so it would take the port for gone), chooses the view and opens it. It then tells in a
    modal box that the pty refuses a line setting, and keeps the port open until the box is
    answered: the box stays, and the view is chosen before, while nothing covers "Hex output"."""
    os.makedirs(os.path.join(folder, 'CuteCom'))
    with open(os.path.join(folder, 'CuteCom', 'CuteCom5.conf'), 'w') as conf:
        conf.write('[sessions]\n1\\BaudRate=921600\n1\\DataBits=8\n1\\Device=%s\n'
                   '1\\FlowControl=0\n1\\OpenMode=3\n1\\Parity=0\n1\\StopBits=1\n'
                   '1\\autoReconnect=false\n1\\name=Default\n1\\showCtrlCharacters=false\n'
                   '1\\showTimestamp=true\nsize=1\n' % port)
    program = subprocess.Popen([shutil.which('cutecom')], cwd=folder,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(3)
    if hex_view:
        click(101, 640)  # "Hex output"
    click(50, 43)  # Open
    return program


def measure(start, view):
    """One start of a program in `view` ('text' or 'hex'): its CPU ms per MiB, or None when the
    port did not open."""
    master, slave = pty.openpty()
    port = os.ttyname(slave)
    os.set_blocking(master, False)
    folder = tempfile.mkdtemp()
    # Each start with empty settings of its own, Qt's OpenGL integration off for all.
    os.environ.update(HOME=folder, XDG_CONFIG_HOME=folder, QT_XCB_GL_INTEGRATION='none',
                      QT_QPA_PLATFORM='xcb')
    program = start(folder, port, view == 'hex')
    try:
        links = [os.readlink('/proc/%d/fd/%s' % (program.pid, fd))
                 for fd in os.listdir('/proc/%d/fd' % program.pid)]
        if port not in links:
            return None
        before = cpu_seconds(program.pid)
        stream(master)
        # The last burst is shown within a fraction of a second.
        time.sleep(1)
        return 1000 * (cpu_seconds(program.pid) - before) * 1024 * 1024 / TOTAL
    finally:
        program.terminate()
        program.wait()
        os.close(master)
        os.close(slave)
        shutil.rmtree(folder, ignore_errors=True)


def main():
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 2
    if not os.environ.get('DISPLAY') or not shutil.which('xdotool'):
        print('side-by-side receive: not measured, needs DISPLAY and xdotool')
        return 0
    programs = [('sermora', sermora(os.environ['SERMORA_BINARY']))]
    if os.environ.get('SERMORA_QT6_BINARY'):
        programs.append(('sermora_qt6', sermora(os.environ['SERMORA_QT6_BINARY'])))
    if shutil.which('cutecom'):
        programs.append(('cutecom', cutecom))
    results = {name: [] for name, _ in programs}
    # The programs alternate, so that a change in the machine's load falls on all.
    for run in range(runs):
        for name, start in programs:
            figures = [measure(start, view) for view in ('text', 'hex')]
            if None in figures:
                print('%s, run %d: the port did not open' % (name, run + 1))
                continue
            print('%s, run %d: %.0f ms per MiB in the text view, %.0f in the hex view'
                  % (name, run + 1, figures[0], figures[1]), flush=True)
            results[name].append(figures)
    for name, figures in results.items():
        if not figures:
            continue
        for index, view in enumerate(('text', 'hex')):
            print('RESULT receive.%s.x11_%s %.0f ms/MiB Receive at 921600 baud on X11, %s view, '
                  'stamps on: CPU per MiB, whole process (%s, median of %d runs)'
                  % (name, view, statistics.median(f[index] for f in figures), view, name,
                     len(figures)), flush=True)
    return 0


if __name__ == '__main__':
    sys.exit(main())
