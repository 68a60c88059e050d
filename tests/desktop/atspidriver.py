"""Drives a running program through the accessibility bus (AT-SPI), by the captions a
user sees: find the program, wait for its windows, press menu items and buttons, read
captions, take a screenshot. Every wait has a time limit and fails with a message that
says what was awaited."""

import ctypes
import ctypes.util
import os
import subprocess
import sys
import threading
import time

import pyatspi


class Failure(Exception):
    pass


def fail(text):
    raise Failure(text)


def bare(name):
    """A caption without the '&' that marks its keyboard accelerator."""
    return (name or "").replace("&", "")


def wait_for(what, probe, timeout=20.0, interval=0.1):
    """Calls probe() until it returns something true; fails after `timeout` seconds."""
    end = time.monotonic() + timeout
    last = None
    while time.monotonic() < end:
        try:
            result = probe()
            if result:
                return result
        except Failure:
            raise  # the probe knows the wait is over
        except Exception as e:  # the tree changes under our feet while windows come and go
            last = e
        time.sleep(interval)
    fail("timed out waiting for %s%s" % (what, " (%s)" % last if last else ""))


def children(node):
    try:
        return [node.getChildAtIndex(i) for i in range(node.childCount)]
    except Exception:
        return []


LARGE = 500


def descendants(node, depth=12):
    """Every accessible below node, breadth first, skipping what vanishes meanwhile and the
    cells of large tables (the variant grid has 10,000: walking them takes seconds)."""
    out = []
    level = [node]
    for _ in range(depth):
        nxt = []
        for n in level:
            try:
                if n is not node and n.childCount > LARGE:
                    continue
            except Exception:
                continue
            for c in children(n):
                if c is not None:
                    out.append(c)
                    nxt.append(c)
        level = nxt
        if not level:
            break
    return out


def role(node):
    try:
        return node.getRoleName()
    except Exception:
        return ""


def x_display_opens():
    """Whether the X client library, as the program uses it, opens the display in DISPLAY."""
    xlib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = xlib.XOpenDisplay(None)
    if not display:
        return False
    xlib.XCloseDisplay(display)
    return True


def x_server_report():
    """What the virtual X server said, for a failure message."""
    log = os.environ.get("PW_XVFB_LOG")
    text = ""
    if log and os.path.exists(log):
        with open(log, errors="replace") as f:
            text = f.read()[-2000:]
    return "X display %s opens now: %s; the X server's log:\n%s" % (
        os.environ.get("DISPLAY"), x_display_opens(), text or "(empty)")


class Program:
    """One run of the program under test. A program that ends before it reaches the
    accessibility bus is started once more when the display opens, and the failure message
    says what the X server reported."""

    def __init__(self, argv, cwd, name):
        self.name = name
        wait_for("the X display %s" % os.environ.get("DISPLAY"), x_display_opens, timeout=20)
        for attempt in (1, 2):
            self.process = subprocess.Popen(argv, cwd=cwd)
            try:
                self.app = wait_for("the program %s on the accessibility bus" % name, self._find_app,
                                    timeout=30)
                return
            except Failure as failure:
                ended = self.process.poll() is not None
                if attempt == 2 or not ended:
                    raise Failure("%s\n%s" % (failure, x_server_report()))
                print("the program ended early; %s; starting it once more" % x_server_report(),
                      file=sys.stderr)

    def _find_app(self):
        if self.process.poll() is not None:
            fail("the program ended early with exit code %s" % self.process.returncode)
        desktop = pyatspi.Registry.getDesktop(0)
        for a in children(desktop):
            if a is not None and a.name == self.name:
                return a
        return None

    def windows(self):
        return [w for w in children(self.app) if w is not None]

    def window(self, caption_part, timeout=20.0):
        """The top-level window whose caption contains caption_part."""
        return wait_for(
            "a window titled like '%s'" % caption_part,
            lambda: next((w for w in self.windows() if caption_part in (w.name or "")), None),
            timeout,
        )

    def find(self, node, name, roles=None, timeout=10.0):
        """The first accessible below node whose caption is `name` (accelerator marks
        ignored), of one of `roles` when given."""

        def probe():
            for n in descendants(node):
                if bare(n.name) == name and (roles is None or role(n) in roles):
                    return n
            return None

        return wait_for("'%s' in '%s'" % (name, node.name), probe, timeout)

    def press(self, node):
        """Runs the accessible's first action (click, press, activate)."""
        action = node.queryAction()
        if action.nActions < 1:
            fail("'%s' offers no action" % node.name)
        action.doAction(0)

    def press_into_dialog(self, node):
        """Presses node when doing so opens a modal box: the program answers the press only
        once the box is closed, so the press is sent from a thread of its own."""
        action = node.queryAction()
        if action.nActions < 1:
            fail("'%s' offers no action" % node.name)

        def send():
            try:
                action.doAction(0)
            except Exception:
                pass  # the reply may come late or never: the program may have ended

        threading.Thread(target=send, daemon=True).start()

    def answer(self, caption, button, timeout=20.0):
        """Waits for the message box titled `caption` and presses `button` in it."""
        box = self.window(caption, timeout)
        self.press(self.find(box, button, roles=("push button",)))
        wait_for("the box '%s' to close" % caption, lambda: box not in self.windows() or not box.name, 10)

    def menu_items(self, menu):
        """The captions of a menu's items in order, '-' for a separator."""
        items = []
        for c in children(menu):
            if not c.getState().contains(pyatspi.STATE_VISIBLE):
                continue  # a separator kept for a group that is empty
            r = role(c)
            if r == "separator":
                items.append("-")
            elif r in ("menu item", "check menu item", "radio menu item", "menu"):
                items.append(bare(c.name))
        return items

    def wait_exit(self, timeout=20.0):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            fail("the program did not end within %s s" % timeout)

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


KEYSYMS = {"Return": 0xFF0D, "Tab": 0xFF09, "Escape": 0xFF1B, "Down": 0xFF54, "Up": 0xFF52}


def type_text(text):
    """Types text on the keyboard, into whatever has the focus."""
    pyatspi.Registry.generateKeyboardEvent(0, text, pyatspi.KEY_STRING)
    time.sleep(0.1)


def press_key(name):
    """Presses and releases one named key (Return, Tab, Escape, Down, Up)."""
    pyatspi.Registry.generateKeyboardEvent(KEYSYMS[name], None, pyatspi.KEY_SYM)
    time.sleep(0.1)


def click(node):
    """A left click in the middle of the accessible, as the mouse does it."""
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    pyatspi.Registry.generateMouseEvent(box.x + box.width // 2, box.y + box.height // 2, "b1c")
    time.sleep(0.2)


def screenshot(path):
    """The whole virtual screen as a PNG file."""
    xwd = subprocess.run(["xwd", "-root", "-silent"], check=True, capture_output=True).stdout
    pnm = subprocess.run(["xwdtopnm"], input=xwd, check=True, capture_output=True).stdout
    png = subprocess.run(["pnmtopng"], input=pnm, check=True, capture_output=True).stdout
    with open(path, "wb") as f:
        f.write(png)


def run(steps):
    """Runs the scenario; prints what failed and returns the exit code."""
    try:
        steps()
    except Failure as e:
        print("desktop test failed: %s" % e, file=sys.stderr)
        return 1
    return 0
