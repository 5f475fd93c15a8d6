#!/usr/bin/env python3
"""Window figures of the built game on an Xvfb display: start-up time to the first frame of the
profiles screen (median of 3), CPU use of the idle game over 10 s on the main menu and on the
play screen, and peak resident memory. Prints figures; asserts nothing.

    window_bench.py BUILD_DIR
"""
import os
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                "tests", "window"))
import window_test as w  # noqa: E402

TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    fields = open(f"/proc/{pid}/stat").read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS


def peak_rss_mib(pid):
    for line in open(f"/proc/{pid}/status"):
        if line.startswith("VmHWM:"):
            return int(line.split()[1]) / 1024.0
    return 0.0


def start(build, label, display):
    run_dir = os.path.join(build, "bench_window", label)
    game = w.make_game_folder(build, run_dir)
    env = dict(os.environ, DISPLAY=display.name, SDL_AUDIODRIVER="dummy")
    started = time.time()
    process = subprocess.Popen([os.path.join(game, "beamworks")], env=env, cwd="/",
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return process, started


def idle_cpu(pid, seconds=10.0):
    before, t0 = cpu_seconds(pid), time.time()
    time.sleep(seconds)
    return 100.0 * (cpu_seconds(pid) - before) / (time.time() - t0)


def main():
    build = os.path.abspath(sys.argv[1])
    display = w.x_display(1920, 1200)
    x = w.x_client(display.name)
    try:
        windows, frames = [], []
        for run in range(3):
            process, started = start(build, f"start{run}", display)
            window = x.find_window("Beamworks")
            windows.append(time.time() - started)
            p = w.player(x, window)
            p.wait_for_start()
            frames.append(time.time() - started)
            x.send_close(window)
            process.wait(timeout=20)
        print(f"start-up in a window: the window shows after {1000 * statistics.median(windows):.0f} ms, "
              f"the profiles screen after {1000 * statistics.median(frames):.0f} ms (median of 3; "
              f"{', '.join(f'{1000 * f:.0f}' for f in frames)} ms)")

        process, started = start(build, "idle", display)
        window = x.find_window("Beamworks")
        p = w.player(x, window)
        p.wait_for_start()
        p.click(400, 175, pause=0.3)
        p.type("Bench")
        p.click(400, 175, pause=0.3)
        p.click(350, 212, pause=0.2)
        p.change_screen(340, 475)
        p.move(600, 500)
        print(f"idle CPU on the main menu: {idle_cpu(process.pid):.1f} % of one core over 10 s")
        p.change_screen(60, 140)
        p.click(109, 493, pause=0.4)
        p.change_screen(149, 245)
        _, has_note = w.level_solution(os.path.join(build, "game", "Levels", "level.001"))
        if has_note:
            p.click(400, 370, pause=0.3)
        p.move(600, 500)
        print(f"idle CPU on the play screen (level 1-1): {idle_cpu(process.pid):.1f} % of one core over 10 s")
        print(f"peak resident memory in a window: {peak_rss_mib(process.pid):.1f} MiB")
        x.send_close(window)
        process.wait(timeout=20)
    finally:
        x.close()
        display.close()


if __name__ == "__main__":
    main()
