"""pty_run.py OUT ERR IN pty|file|both -- COMMAND...: for the progress tests
of onymix-cli (tests/cli_test.cpp), runs COMMAND with standard input from the
file IN, standard error on a pseudo-terminal whose bytes are saved to ERR
(or, for "file", the file ERR itself) and standard output read slowly into
OUT, 64 KiB every 20 ms, so that the run lasts well over a second on any
machine. With "both", standard output and standard error are the one
pseudo-terminal, in raw mode so that its bytes are what the command wrote,
read as slowly into OUT; ERR is left empty. Exits with the command's exit
code."""
import os, pty, subprocess, sys, threading, time, tty

out, err, stdin, kind = sys.argv[1:5]
master, slave = pty.openpty()
if kind == "both":
    tty.setraw(slave)
seen = bytearray()


def drain():
    while True:
        try:
            data = os.read(master, 65536)
        except OSError:  # EIO: the terminal's other side is closed everywhere
            return
        if not data:
            return
        seen.extend(data)
        if kind == "both":  # a terminal gives a few KiB a read: at the pipe's pace
            time.sleep(0.02 * len(data) / 65536)


reader = threading.Thread(target=drain)
reader.start()
child = subprocess.Popen(sys.argv[6:], stdin=open(stdin, "rb"),
                         stdout=slave if kind == "both" else subprocess.PIPE,
                         stderr=slave if kind != "file" else open(err, "wb"))
os.close(slave)
if kind == "both":
    open(err, "wb").close()
else:
    with open(out, "wb") as names:
        while data := child.stdout.read1(65536):
            names.write(data)
            time.sleep(0.02)
code = child.wait()
reader.join()
if kind != "file":
    open(out if kind == "both" else err, "wb").write(seen)
sys.exit(code)
