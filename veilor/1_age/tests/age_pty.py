#!/usr/bin/env python3
"""Runs a command under a pseudo-terminal and types a passphrase at each of
its passphrase prompts: age reads passphrases only from a terminal.

    age_pty.py COMMAND [ARG...]     (the passphrase in AGE_TEST_PASSPHRASE)

Exits with the command's status; its terminal output goes to stderr.
"""
import os
import pty
import sys

passphrase = os.environb[b"AGE_TEST_PASSPHRASE"] + b"\n"
pid, fd = pty.fork()
if pid == 0:
    os.execvp(sys.argv[1], sys.argv[1:])
seen = b""
while True:
    try:
        data = os.read(fd, 1024)
    except OSError:  # the terminal closes with the command
        break
    if not data:
        break
    sys.stderr.buffer.write(data)
    seen += data
    # Answer each prompt ("Enter passphrase (...):", "Confirm passphrase:")
    # once, when its colon has come.
    if b"passphrase" in seen.lower() and seen.rstrip().endswith(b":"):
        os.write(fd, passphrase)
        seen = b""
_, status = os.waitpid(pid, 0)
sys.exit(os.waitstatus_to_exitcode(status))
