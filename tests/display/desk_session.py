# SPDX-License-Identifier: GPL-3.0-or-later
"""A private desk for one test: its own X server (Xvfb), optionally a window
manager (openbox) and a private D-Bus session with the accessibility bus, and
the program under test. Everything is started here and stopped by process id,
children first, so that no test leaves anything running or touches another
test's display."""

import ctypes
import os
import select
import signal
import subprocess
import sys
import time


class SetUpError(RuntimeError):
    pass


def _become_subreaper():
    """Processes orphaned by the ones stopped here (the accessibility bus
    starts its registry daemon, for one) come back to this process, which
    reaps them, instead of lingering as zombies under an init that may not."""
    try:
        libc = ctypes.CDLL(None, use_errno=True)
        libc.prctl(36, 1, 0, 0, 0)  # PR_SET_CHILD_SUBREAPER
    except (OSError, AttributeError):
        pass


def _reap_orphans():
    while True:
        try:
            pid, _ = os.waitpid(-1, os.WNOHANG)
        except ChildProcessError:
            return
        if pid == 0:
            return


def _children(pid):
    """Process ids whose parent is `pid`, read from /proc."""
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat", "rb") as stat:
                fields = stat.read().rsplit(b")", 1)[1].split()
        except OSError:
            continue
        if int(fields[1]) == pid:
            found.append(int(entry))
    return found


def _descendants(pid):
    out = []
    for child in _children(pid):
        out.extend(_descendants(child))
        out.append(child)
    return out


def _stop(pid):
    """Stops a process and whatever it started, by process id."""
    for p in _descendants(pid) + [pid]:
        try:
            os.kill(p, signal.SIGTERM)
        except ProcessLookupError:
            pass


def _read_line(fd, timeout):
    deadline = time.monotonic() + timeout
    data = b""
    while b"\n" not in data:
        left = deadline - time.monotonic()
        if left <= 0 or not select.select([fd], [], [], left)[0]:
            raise SetUpError("timed out waiting for a start-up message")
        chunk = os.read(fd, 4096)
        if not chunk:
            break
        data += chunk
    return data.decode().strip()


def wait_until(check, timeout, step=0.1, what="a condition"):
    deadline = time.monotonic() + timeout
    while True:
        result = check()
        if result:
            return result
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(step)


class Desk:
    def __init__(self, window_manager=True, accessibility=False, screen=(1280, 1024)):
        self.window_manager = window_manager
        self.accessibility = accessibility
        self.screen = screen
        self.env = dict(os.environ)
        self._procs = []  # (name, Popen), in start order

    # -- start -------------------------------------------------------------
    def __enter__(self):
        _become_subreaper()
        try:
            self._start_x()
            if self.accessibility:
                self._start_dbus()
            if self.window_manager:
                self._start_openbox()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def _spawn(self, name, args, **kwargs):
        proc = subprocess.Popen(args, env=self.env, stdin=subprocess.DEVNULL, **kwargs)
        self._procs.append((name, proc))
        return proc

    def _start_x(self):
        # Xvfb picks a free display itself and writes its number on the pipe.
        # The shell scripts start theirs the same way: scripts/private_display.sh.
        for attempt in range(3):
            read_fd, write_fd = os.pipe()
            w, h = self.screen
            proc = self._spawn("Xvfb", ["Xvfb", "-displayfd", str(write_fd), "-screen", "0",
                                        f"{w}x{h}x24", "-nolisten", "tcp", "-noreset"],
                               pass_fds=(write_fd,), stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
            os.close(write_fd)
            try:
                number = _read_line(read_fd, 20)
            except SetUpError:
                number = ""
            finally:
                os.close(read_fd)
            if number.isdigit():
                self.display = ":" + number
                self.env["DISPLAY"] = self.display
                self.env.pop("WAYLAND_DISPLAY", None)
                self.env["XAUTHORITY"] = "/dev/null"
                return
            self._procs.remove(("Xvfb", proc))
            _stop(proc.pid)
            proc.wait(5)
        raise SetUpError("Xvfb did not start")

    def _start_dbus(self):
        read_fd, write_fd = os.pipe()
        self._spawn("dbus-daemon", ["dbus-daemon", "--session", "--nofork", "--nopidfile",
                                    f"--print-address={write_fd}"],
                    pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        try:
            address = _read_line(read_fd, 20)
        finally:
            os.close(read_fd)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address
        self.env["NO_AT_BRIDGE"] = "0"
        # Qt talks to assistive technology only when asked to.
        self.env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        self.env["QT_ACCESSIBILITY"] = "1"
        launcher = "/usr/libexec/at-spi-bus-launcher"
        self._spawn("at-spi-bus-launcher", [launcher, "--launch-immediately"],
                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

        def bus_ready():
            r = subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus",
                                "/org/a11y/bus", "org.a11y.Bus.GetAddress"],
                               env=self.env, capture_output=True, timeout=10)
            return r.returncode == 0 and b"unix:" in r.stdout
        wait_until(bus_ready, 20, 0.2, "the accessibility bus")

    def _start_openbox(self):
        self._spawn("openbox", ["openbox", "--sm-disable"],
                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

        def managed():
            r = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=self.env,
                               capture_output=True, text=True, timeout=10)
            return "window id" in r.stdout
        wait_until(managed, 20, 0.1, "openbox")

    # -- the program -------------------------------------------------------
    def start_program(self, program, extra_env=None, args=()):
        env = dict(self.env)
        env["QT_QPA_PLATFORM"] = "xcb"  # ctest's environment says offscreen
        env.update(extra_env or {})
        proc = subprocess.Popen([program, *args], env=env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        self._procs.append(("program", proc))
        return proc

    def window_tree(self):
        """Lines of `xwininfo -root -tree`, with their depth below the root."""
        r = subprocess.run(["xwininfo", "-root", "-tree"], env=self.env, capture_output=True,
                           text=True, timeout=10)
        rows = []
        for line in r.stdout.splitlines():
            stripped = line.lstrip()
            if stripped.startswith("0x"):
                rows.append(((len(line) - len(stripped)) // 3, stripped))
        return rows

    def window_geometry(self, title):
        """(client, top_level) rectangles (x, y, w, h) of the window with this
        title: the client area and the root's child that holds it, which is
        the window manager's frame when there is one."""
        rows = self.window_tree()
        for i, (depth, text) in enumerate(rows):
            if f'"{title}"' not in text:
                continue
            client = _rect(text)
            if client is None or client[2] < 50:
                continue
            top = text
            for j in range(i, -1, -1):
                if rows[j][0] == 1:
                    top = rows[j][1]
                    break
            return client, _rect(top)
        return None

    def screenshot_gray(self):
        """The whole screen as (width, height, bytes) of 8-bit grey."""
        png = subprocess.run(["import", "-display", self.display, "-window", "root", "png:-"],
                             env=self.env, capture_output=True, check=True, timeout=60).stdout
        return to_gray(png)

    # -- stop --------------------------------------------------------------
    def close(self):
        for name, proc in reversed(self._procs):
            if proc.poll() is None:
                _stop(proc.pid)
                try:
                    proc.wait(5)
                except subprocess.TimeoutExpired:
                    for p in _descendants(proc.pid) + [proc.pid]:
                        try:
                            os.kill(p, signal.SIGKILL)
                        except ProcessLookupError:
                            pass
                    proc.wait(5)
        self._procs.clear()
        # Whatever they started that outlived them came back here; wait for it.
        deadline = time.monotonic() + 5
        while time.monotonic() < deadline:
            _reap_orphans()
            if not _children(os.getpid()):
                break
            for p in _children(os.getpid()):
                try:
                    os.kill(p, signal.SIGTERM)
                except ProcessLookupError:
                    pass
            time.sleep(0.05)
        _reap_orphans()


def _rect(text):
    """The absolute rectangle of an xwininfo tree line: "WxH+x+y  +X+Y"."""
    parts = text.split()
    for k in range(len(parts) - 1):
        geo, absolute = parts[k], parts[k + 1]
        if "x" in geo and geo[0].isdigit() and absolute.startswith(("+", "-")):
            size = geo.split("+")[0].split("-")[0]
            w, h = (int(v) for v in size.split("x"))
            xy = absolute.replace("-", " -").replace("+", " ").split()
            return int(xy[0]), int(xy[1]), w, h
    return None


def to_gray(image_bytes, source_format="png"):
    pgm = subprocess.run(["convert", f"{source_format}:-", "-colorspace", "gray", "-depth", "8",
                          "pgm:-"], input=image_bytes, capture_output=True, check=True,
                         timeout=60).stdout
    magic, w, h, maxval, data = pgm.split(maxsplit=4)
    assert magic == b"P5" and maxval == b"255"
    w, h = int(w), int(h)
    return w, h, data[:w * h]


def gray_of_file(path):
    with open(path, "rb") as f:
        return to_gray(f.read(), "bmp" if path.endswith(".bmp") else "png")


def main_guard(run):
    """Runs a test body, prints its failure and exits non-zero."""
    try:
        run()
    except AssertionError as failure:
        print(f"FAIL: {failure}", file=sys.stderr)
        sys.exit(1)
    except SetUpError as failure:
        print(f"FAIL: the desk could not be set up: {failure}", file=sys.stderr)
        sys.exit(1)
    print("PASS")
