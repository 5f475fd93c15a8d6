#!/usr/bin/env python3
"""Plays the built game in a real window on an Xvfb display, as a person would, with xdotool.

Creates a player by typing a name, chooses her, opens the galaxy map, starts level 1-1,
dismisses its note, places and turns the pieces of the level's solution (read from the
compiled level file), waits for the win, takes a screenshot with Enter and closes the window
with its close button (WM_DELETE_WINDOW, as a window manager sends it). Then checks the exit
status, the screenshot (a valid 800 by 600 PNG) and the player's progress files.

It does so once at the window's own size, once resized to 1600x1200 and once to a 16:9 size,
so the mouse is proved to map through the scaling and the letterboxing. Each run gets a game
folder of its own under <build>/window_test/<size>/: a copy of the built executable beside
links to the built content, so the player's files and screenshots of a run stay there to
look at and never touch the build's own "users".

    window_test.py BUILD_DIR [--size WxH ...] [--keep-going]
"""

import argparse
import ctypes
import os
import shutil
import struct
import subprocess
import sys
import time
import zlib

CONTENT = ["images", "Sounds", "font", "Levels"]
PLAYER = "Tester"

# Board and panel geometry of the play screen, in display pixels.
CELL = 35
COLUMNS, ROWS = 19, 14

KIND_MIRROR, KIND_DOUBLE_PRISM, KIND_WHITE_SPHERE, KIND_BLUE_SPHERE = 6, 9, 10, 13


def log(message):
    print(message, flush=True)


# ---- X display, window and input ------------------------------------------------------------

class x_display:
    """An Xvfb server of our own, on the first free display number it finds itself."""

    def __init__(self, width, height):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{width}x{height}x24",
             "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        with os.fdopen(read_end, "rb") as pipe:
            while not number.endswith(b"\n"):
                chunk = pipe.read(1)
                if not chunk:
                    raise RuntimeError("Xvfb did not start")
                number += chunk
        self.name = ":" + number.decode().strip()

    def close(self):
        self.process.terminate()
        self.process.wait(timeout=10)


class x_client:
    """xdotool for input and window sizes; Xlib (through ctypes) for the close request, which
    xdotool of Debian 12 cannot send."""

    def __init__(self, display_name):
        self.env = dict(os.environ, DISPLAY=display_name)
        self.xlib = ctypes.cdll.LoadLibrary("libX11.so.6")
        self.xlib.XOpenDisplay.restype = ctypes.c_void_p
        self.xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.xlib.XInternAtom.restype = ctypes.c_ulong
        self.xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        self.xlib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int,
                                         ctypes.c_long, ctypes.c_void_p]
        self.xlib.XFlush.argtypes = [ctypes.c_void_p]
        self.xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.xlib.XGetImage.restype = ctypes.c_void_p
        self.xlib.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int,
                                        ctypes.c_int, ctypes.c_uint, ctypes.c_uint,
                                        ctypes.c_ulong, ctypes.c_int]
        self.xlib.XGetPixel.restype = ctypes.c_ulong
        self.xlib.XGetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
        self.xlib.XDestroyImage.argtypes = [ctypes.c_void_p]
        # Xlib's own error handler ends the process; a failed read of a pixel is only a miss.
        handler_type = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)
        self.error_handler = handler_type(lambda display, error: 0)
        self.xlib.XSetErrorHandler(self.error_handler)
        self.dpy = self.xlib.XOpenDisplay(display_name.encode())
        if not self.dpy:
            raise RuntimeError("cannot open display " + display_name)

    def xdotool(self, *args):
        result = subprocess.run(["xdotool", *map(str, args)], env=self.env,
                                capture_output=True, text=True, timeout=30)
        if result.returncode != 0:
            raise RuntimeError(f"xdotool {' '.join(map(str, args))}: {result.stderr.strip()}")
        return result.stdout.strip()

    def find_window(self, title, timeout_s=20):
        deadline = time.time() + timeout_s
        while time.time() < deadline:
            result = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", title],
                                    env=self.env, capture_output=True, text=True)
            ids = result.stdout.split()
            if ids:
                return int(ids[0])
            time.sleep(0.1)
        raise RuntimeError(f"no window titled {title} appeared")

    def window_size(self, window):
        out = self.xdotool("getwindowgeometry", "--shell", window)
        values = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
        return int(values["WIDTH"]), int(values["HEIGHT"])

    def send_close(self, window):
        """The close button: a WM_PROTOCOLS client message carrying WM_DELETE_WINDOW."""

        class client_message(ctypes.Structure):
            _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                        ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                        ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                        ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]

        class x_event(ctypes.Union):
            _fields_ = [("xclient", client_message), ("pad", ctypes.c_long * 24)]

        event = x_event()
        event.xclient.type = 33  # ClientMessage
        event.xclient.display = self.dpy
        event.xclient.window = window
        event.xclient.message_type = self.xlib.XInternAtom(self.dpy, b"WM_PROTOCOLS", 0)
        event.xclient.format = 32
        event.xclient.data[0] = self.xlib.XInternAtom(self.dpy, b"WM_DELETE_WINDOW", 0)
        event.xclient.data[1] = 0  # CurrentTime
        if not self.xlib.XSendEvent(self.dpy, window, 0, 0, ctypes.byref(event)):
            raise RuntimeError("XSendEvent failed")
        self.xlib.XFlush(self.dpy)

    def pixel(self, window, x, y):
        """The colour (0xRRGGBB) of one pixel of the window as the X server shows it."""
        image = self.xlib.XGetImage(self.dpy, window, x, y, 1, 1, ctypes.c_ulong(-1).value, 2)
        if not image:
            return 0
        value = self.xlib.XGetPixel(image, 0, 0)
        self.xlib.XDestroyImage(image)
        return value & 0xFFFFFF

    def close(self):
        self.xlib.XCloseDisplay(self.dpy)


class player:
    """Mouse and keys in the game's 800 by 600 display pixels, mapped to the window the way
    the game scales it: the largest size that fits, centred, with black bars."""

    def __init__(self, x, window):
        self.x = x
        self.window = window
        self.measure()

    def measure(self):
        width, height = self.x.window_size(self.window)
        self.scale = min(width / 800.0, height / 600.0)
        self.left = (width - 800.0 * self.scale) / 2.0
        self.top = (height - 600.0 * self.scale) / 2.0
        self.size = (width, height)

    def to_window(self, gx, gy):
        # The centre of the window pixels that show display pixel (gx, gy).
        return (int(self.left + (gx + 0.5) * self.scale),
                int(self.top + (gy + 0.5) * self.scale))

    def colour_at(self, gx, gy):
        wx, wy = self.to_window(gx, gy)
        return self.x.pixel(self.window, wx, wy)

    def wait_for_start(self, timeout_s=60):
        """Start-up shows "Loading..." on black until every picture and sound is in; the
        profiles screen's title then lights the top of the display."""
        deadline = time.time() + timeout_s
        while time.time() < deadline:
            if self.colour_at(400, 60) != 0:
                return
            time.sleep(0.05)
        raise RuntimeError("the profiles screen never showed")

    # Points of the display that no screen animates: while a fade runs they darken to black
    # and brighten again, pass by pass.
    STILL_POINTS = [(5, 5), (400, 3), (795, 5), (5, 300), (795, 300), (5, 595)]

    def still_picture(self):
        return [self.colour_at(x, y) for x, y in self.STILL_POINTS]

    @staticmethod
    def brightness(colours):
        return sum((c >> 16 & 0xFF) + (c >> 8 & 0xFF) + (c & 0xFF) for c in colours)

    def change_screen(self, gx, gy, attempts=3):
        """Clicks something that changes screens and waits for the new screen at rest: the
        picture dims to black half-way through the transition (below a quarter of its
        brightness for some 15 passes, 300 ms), then brightens until it stands still. A click
        that starts nothing (made while the last transition was still ending, on a slow
        machine) is made again, as a person would."""
        for _ in range(attempts):
            before = max(self.brightness(self.still_picture()), 1)
            self.click(gx, gy, pause=0)
            deadline = time.time() + 8
            while self.brightness(self.still_picture()) * 4 > before and time.time() < deadline:
                time.sleep(0.01)
            if time.time() < deadline:
                break
        else:
            raise RuntimeError(f"the click at ({gx}, {gy}) did not change screens")
        # At rest: the same picture for half a second.
        deadline = time.time() + 30
        previous, steady = None, 0
        while steady < 5:
            if time.time() > deadline:
                raise RuntimeError("the new screen never came to rest")
            time.sleep(0.1)
            now = self.still_picture()
            steady = steady + 1 if now == previous and self.brightness(now) > 0 else 0
            previous = now

    def move(self, gx, gy):
        wx, wy = self.to_window(gx, gy)
        self.x.xdotool("mousemove", "--window", self.window, wx, wy)

    def click(self, gx, gy, pause=0.15, button=1):
        self.move(gx, gy)
        time.sleep(0.06)
        self.x.xdotool("click", button)
        time.sleep(pause)

    def press(self):
        self.x.xdotool("mousedown", 1)

    def release(self):
        self.x.xdotool("mouseup", 1)

    def type(self, text):
        self.x.xdotool("windowfocus", "--sync", self.window)
        for ch in text:
            # One character per pass at most is taken from the queue; pace like a typist.
            self.x.xdotool("type", "--delay", 60, ch)
            time.sleep(0.05)

    def key(self, name):
        self.x.xdotool("windowfocus", "--sync", self.window)
        self.x.xdotool("key", name)


# ---- The game's files -----------------------------------------------------------------------

def level_solution(level_file):
    """The solution pieces of a compiled level: (column, row, kind, orientation), and whether
    the level opens with a note."""
    data = open(level_file, "rb").read()
    note_length = data[0]
    at = 1 + note_length
    pieces = []
    for column in range(COLUMNS):
        for row in range(ROWS):
            chunk = data[at:at + 4].ljust(4, b"\0")
            (code,) = struct.unpack("<i", chunk)
            at += 4
            kind, orientation = code // 100, (code // 10) % 10
            if KIND_MIRROR <= kind <= KIND_BLUE_SPHERE:
                pieces.append((column, row, kind, orientation))
    return pieces, note_length > 0


def png_size(path):
    """Width and height of a PNG file after checking its chunks and decompressing its data;
    raises on anything that is not a whole, valid PNG."""
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not PNG data")
    at, idat, header = 8, b"", None
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        (crc,) = struct.unpack(">I", data[at + 8 + length:at + 12 + length])
        if zlib.crc32(kind + body) != crc:
            raise ValueError(f"bad CRC in chunk {kind!r}")
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
        at += 12 + length
    if header is None or kind != b"IEND":
        raise ValueError("PNG without header or end")
    width, height, depth, colour = header[:4]
    channels = {0: 1, 2: 3, 4: 2, 6: 4}[colour]
    expected = height * (1 + width * channels * depth // 8)
    if len(zlib.decompress(idat)) != expected:
        raise ValueError("PNG pixel data of the wrong size")
    return width, height


def progress_of(users, name):
    folder = os.path.join(users, name)
    scores = open(os.path.join(folder, "level_score.all"), "rb").read()
    packs = open(os.path.join(folder, "pack_access.all"), "rb").read()
    costs = open(os.path.join(folder, "solution.all"), "rb").read()
    if (len(scores), len(packs), len(costs)) != (960, 20, 480):
        raise ValueError(f"progress files of sizes {len(scores)}, {len(packs)}, {len(costs)}")
    best, seconds = struct.unpack("<ii", scores[:8])
    return best, seconds, packs


# ---- One run --------------------------------------------------------------------------------

def make_game_folder(build, run_dir):
    built = os.path.join(build, "game")
    game = os.path.join(run_dir, "game")
    shutil.rmtree(run_dir, ignore_errors=True)
    os.makedirs(os.path.join(game, "users"))
    os.makedirs(os.path.join(game, "screens"))
    shutil.copy2(os.path.join(built, "beamworks"), game)
    for name in CONTENT:
        if os.path.exists(os.path.join(built, name)):
            os.symlink(os.path.join(built, name), os.path.join(game, name))
    return game


def place_solution(p, pieces):
    sphere_colour = 0
    for column, row, kind, orientation in pieces:
        if kind >= KIND_WHITE_SPHERE:
            # The colour buttons also choose the sphere slot.
            while sphere_colour != kind - KIND_WHITE_SPHERE:
                p.click(790, 515)
                sphere_colour = (sphere_colour + 1) % 4
            p.click(750, 75 + 98 * 4 + 40)
        else:
            p.click(750, 75 + 98 * (kind - KIND_MIRROR) + 40)
        cx, cy = CELL * column + 52, CELL * row + 92
        p.move(cx, cy)
        time.sleep(0.08)
        p.press()
        time.sleep(0.12)
        if kind < KIND_WHITE_SPHERE:
            # Turned by pointing, while the button is held, in the piece's direction (0 up,
            # clockwise in eighths) from the cell's centre, well outside the dead zone.
            dx = [0, 1, 1, 1, 0, -1, -1, -1][orientation]
            dy = [-1, -1, 0, 1, 1, 1, 0, -1][orientation]
            p.move(cx + 28 * dx, cy + 28 * dy)
            time.sleep(0.15)
        p.release()
        time.sleep(0.12)


def run_once(build, size, keep_going):
    label = f"{size[0]}x{size[1]}" if size else "800x600"
    run_dir = os.path.join(build, "window_test", label)
    game = make_game_folder(build, run_dir)
    pieces, has_note = level_solution(os.path.join(game, "Levels", "level.001"))
    display = x_display(1920, 1200)
    x = x_client(display.name)
    env = dict(os.environ, DISPLAY=display.name, SDL_AUDIODRIVER="dummy")
    started = time.time()
    game_process = subprocess.Popen([os.path.join(game, "beamworks")], env=env, cwd="/",
                                    stdout=open(os.path.join(run_dir, "game.log"), "w"),
                                    stderr=subprocess.STDOUT)
    failures = []
    try:
        window = x.find_window("Beamworks")
        if size:
            # Wholly on the screen, so that every pixel of it can be read back.
            x.xdotool("windowmove", "--sync", window, 0, 0)
            x.xdotool("windowsize", "--sync", window, size[0], size[1])
            time.sleep(0.3)
        p = player(x, window)
        log(f"[{label}] window {window:#x} of {p.size[0]}x{p.size[1]}, display scale "
            f"{p.scale:.2f}, bars {p.left:.0f} left and {p.top:.0f} top")
        p.wait_for_start()
        log(f"[{label}] the profiles screen showed {time.time() - started:.1f} s after start")
        time.sleep(0.3)

        # Profiles screen: the new-profile button, the name, the button again to create it,
        # the first row of the list, then the confirm button.
        p.click(400, 175, pause=0.3)
        p.type(PLAYER)
        time.sleep(0.3)
        p.click(400, 175, pause=0.3)
        p.click(350, 212, pause=0.2)
        p.change_screen(340, 475)
        # Main menu: play.
        p.change_screen(60, 140)
        # Galaxy map: pack 1's marker opens its panel where it was clicked (moved up by 300
        # when below y = 300), then level 1-1 on the panel.
        p.click(109, 493, pause=0.4)
        panel_x, panel_y = 109, 493 - 300
        p.change_screen(panel_x + 15 + 25, panel_y + 40 + 12)
        log(f"[{label}] level 1-1 is open; {len(pieces)} pieces to place")
        if has_note:
            p.click(400, 370, pause=0.4)
        place_solution(p, pieces)
        # The level is won when every lamp lights; the score window follows five seconds
        # later, when the progress is saved: wait for the saved win (a slow machine may take
        # longer), then for the window to be drawn.
        deadline = time.time() + 90
        while time.time() < deadline:
            try:
                if progress_of(os.path.join(game, "users"), PLAYER)[0] >= 0:
                    break
            except (OSError, ValueError):
                pass
            time.sleep(0.2)
        time.sleep(1.0)
        p.key("Return")
        time.sleep(0.5)
        x.send_close(window)
        try:
            status = game_process.wait(timeout=15)
        except subprocess.TimeoutExpired:
            game_process.kill()
            status = game_process.wait()
            failures.append("the game did not quit when its window was closed")
        log(f"[{label}] the game exited with status {status} after {time.time() - started:.1f} s")
        if status != 0:
            failures.append(f"exit status {status}")

        shot = os.path.join(game, "screens", "screen0.bmp")
        if not os.path.exists(shot):
            failures.append("no screenshot screens/screen0.bmp")
        else:
            try:
                width, height = png_size(shot)
                if (width, height) != (800, 600):
                    failures.append(f"screenshot of {width}x{height}")
                shutil.copy(shot, os.path.join(run_dir, "screenshot.png"))
                log(f"[{label}] screenshot {shot}: valid PNG of {width}x{height}")
            except ValueError as error:
                failures.append(f"screenshot: {error}")
        try:
            best, seconds, packs = progress_of(os.path.join(game, "users"), PLAYER)
            log(f"[{label}] level 1-1: best score {best}, {seconds} s; pack 1 open {packs[0]}")
            if best < 0:
                failures.append("the progress files do not hold the win of level 1-1")
        except (OSError, ValueError) as error:
            failures.append(f"progress files: {error}")
    finally:
        if game_process.poll() is None:
            game_process.kill()
            game_process.wait()
        x.close()
        display.close()
    for failure in failures:
        log(f"[{label}] FAILED: {failure}")
    if failures and not keep_going:
        return False
    return not failures


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--size", action="append", default=None,
                        help="window size WxH; 'native' for the window as the game opens it")
    parser.add_argument("--keep-going", action="store_true")
    args = parser.parse_args()
    for tool in ("Xvfb", "xdotool"):
        if shutil.which(tool) is None:
            root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
            subprocess.run([os.path.join(root, "scripts", "install_deps.sh")], check=True)
            break
    sizes = args.size or ["native", "1600x1200", "1280x720"]
    ok = True
    for text in sizes:
        size = None if text == "native" else tuple(int(v) for v in text.split("x"))
        ok = run_once(os.path.abspath(args.build), size, args.keep_going) and ok
        if not ok and not args.keep_going:
            break
    log("window test: " + ("passed" if ok else "FAILED") + f"; screenshots under "
        f"{os.path.join(os.path.abspath(args.build), 'window_test')}")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
