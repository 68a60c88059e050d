#!/usr/bin/env python3
"""Says whether an X server on a display accepts a connection without credentials.

    xdisplay.py N    exit 0 if the server that a client reaches for display :N says yes

The client library first tries the abstract socket "\\0/tmp/.X11-unix/XN" and only then the
socket file, so the abstract one is tried first here too. On a machine where other jobs share
the network namespace but not /tmp, the abstract name of a display whose lock file is free here
can belong to someone else's server; that server asks for a cookie we do not have and the
program would fail to start. The X connection set-up (12 bytes, no authorisation) tells our
own server, which runs without access control, from such a stranger.
"""
import socket
import sys

SETUP = bytes([0x6C, 0, 11, 0, 0, 0, 0, 0, 0, 0, 0, 0])  # little-endian, protocol 11.0


def answer(address):
    with socket.socket(socket.AF_UNIX, socket.SOCK_STREAM) as s:
        s.settimeout(5)
        s.connect(address)
        s.sendall(SETUP)
        first = s.recv(1)
        return first[0] if first else None


def main():
    display = int(sys.argv[1])
    name = "/tmp/.X11-unix/X%d" % display
    for address in ("\0" + name, name):
        try:
            status = answer(address)
        except (FileNotFoundError, ConnectionRefusedError):
            continue  # the client library also goes on to the next address on these two
        except OSError as error:
            print("display :%d: %s" % (display, error), file=sys.stderr)
            return 1
        if status == 1:
            return 0
        print("display :%d answered %r at %r: another server" % (display, status, address),
              file=sys.stderr)
        return 1
    print("display :%d: no server" % display, file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main())
