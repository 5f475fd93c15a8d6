#!/usr/bin/env python3
"""The window's own behaviour on an Xvfb display without a window manager, as a person meets it.

The window keeps to its smallest size of 400 by 300; F11 fills the whole display (there is no
window manager to honour a full-screen request, so the game covers the display with a
borderless window) and shows the whole picture, and F11 again brings the window back; a
button's hover glow ends when the pointer leaves the window; the window's place and size are
remembered from one start to the next.

    window_aids_test.py BUILD_DIR
"""

import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from window_test import log, make_game_folder, player, x_client, x_display  # noqa: E402

SCREEN = (1024, 768)


def geometry(x, window):
    out = x.xdotool("getwindowgeometry", "--shell", window)
    v = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
    return int(v["X"]), int(v["Y"]), int(v["WIDTH"]), int(v["HEIGHT"])


def wait_until(condition, timeout_s=5.0):
    deadline = time.time() + timeout_s
    while time.time() < deadline:
        if condition():
            return True
        time.sleep(0.05)
    return condition()


def start_game(game, display):
    env = dict(os.environ, DISPLAY=display.name, SDL_AUDIODRIVER="dummy")
    return subprocess.Popen([os.path.join(game, "beamworks")], env=env, cwd="/",
                            stdout=subprocess.DEVNULL, stderr=subprocess.STDOUT)


def stop_game(x, window, process):
    x.send_close(window)
    return process.wait(timeout=30)


def main():
    build = os.path.abspath(sys.argv[1])
    run_dir = os.path.join(build, "window_test", "aids")
    game = make_game_folder(build, run_dir)
    display = x_display(*SCREEN)
    x = x_client(display.name)
    failures = []

    def check(ok, what):
        log(("ok   " if ok else "FAIL ") + what)
        if not ok:
            failures.append(what)

    try:
        process = start_game(game, display)
        window = x.find_window("Beamworks")
        p = player(x, window)
        p.wait_for_start()
        time.sleep(0.3)

        # The smallest size holds even without a window manager to enforce it.
        x.xdotool("windowsize", window, 200, 150)
        check(wait_until(lambda: geometry(x, window)[2:] == (400, 300)),
              f"a window sized to 200x150 grows back to 400x300: {geometry(x, window)}")
        x.xdotool("windowsize", "--sync", window, 800, 600)
        x.xdotool("windowmove", "--sync", window, 60, 50)
        time.sleep(0.3)

        # The exit button's glow (its text turns blue while hovered) ends when the pointer
        # leaves the window.
        p.measure()
        exit_text = (30, 580)
        p.move(*exit_text)
        glowing = wait_until(lambda: (p.colour_at(*exit_text) & 0xFF) >
                             (p.colour_at(*exit_text) >> 16 & 0xFF) + 60, 3)
        check(glowing, "the exit button glows under the pointer")
        x.xdotool("mousemove", SCREEN[0] - 2, SCREEN[1] - 2)
        check(wait_until(lambda: abs((p.colour_at(*exit_text) & 0xFF) -
                                     (p.colour_at(*exit_text) >> 16 & 0xFF)) < 30, 3),
              "its glow ends once the pointer has left the window")

        # F11: the whole display, the whole picture; F11 again: the window as it was.
        before = geometry(x, window)
        p.key("F11")
        check(wait_until(lambda: geometry(x, window) == (0, 0) + SCREEN),
              f"F11 covers the whole display: {geometry(x, window)}")
        time.sleep(0.5)
        p.measure()
        # The picture's four corners show (letterboxed, nothing cut off): the profiles
        # screen's background is never black in its corners.
        corners = [p.colour_at(gx, gy) for gx, gy in [(3, 3), (796, 3), (3, 596), (796, 596)]]
        check(all(c != 0 for c in corners), f"every corner of the picture shows: {corners}")
        p.key("F11")
        check(wait_until(lambda: geometry(x, window)[2:] == before[2:]),
              f"F11 again gives back the window: {geometry(x, window)} (was {before})")

        # Where the window was is where it comes back.
        x.xdotool("windowsize", "--sync", window, 900, 675)
        x.xdotool("windowmove", "--sync", window, 40, 30)
        time.sleep(0.3)
        placed = geometry(x, window)
        check(stop_game(x, window, process) == 0, "the game ends with status 0")
        process = start_game(game, display)
        window = x.find_window("Beamworks")
        check(wait_until(lambda: geometry(x, window) == placed),
              f"the next start puts the window back at {placed}: {geometry(x, window)}")
        check(stop_game(x, window, process) == 0, "the second run ends with status 0")
    finally:
        x.close()
        display.close()
    if failures:
        log(f"{len(failures)} check(s) failed")
        return 1
    log("all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
