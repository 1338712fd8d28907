"""pty_run.py OUT ERR IN pty|file -- COMMAND...: for the progress tests of
onymix-cli (tests/cli_test.cpp), runs COMMAND with standard input from the
file IN, standard error on a pseudo-terminal whose bytes are saved to ERR
(or, for "file", the file ERR itself) and standard output read slowly into
OUT, 64 KiB every 20 ms, so that the run lasts well over a second on any
machine. Exits with the command's exit code."""
import os, pty, subprocess, sys, threading, time

out, err, stdin, kind = sys.argv[1:5]
master, slave = pty.openpty()
seen = bytearray()


def drain():
    while True:
        try:
            data = os.read(master, 4096)
        except OSError:  # EIO: the terminal's other side is closed everywhere
            return
        if not data:
            return
        seen.extend(data)


reader = threading.Thread(target=drain)
reader.start()
child = subprocess.Popen(sys.argv[6:], stdin=open(stdin, "rb"), stdout=subprocess.PIPE,
                         stderr=slave if kind == "pty" else open(err, "wb"))
os.close(slave)
with open(out, "wb") as names:
    while data := child.stdout.read1(65536):
        names.write(data)
        time.sleep(0.02)
code = child.wait()
reader.join()
if kind == "pty":
    open(err, "wb").write(seen)
sys.exit(code)
