#!/usr/bin/python3
"""A file dropped from outside the launcher reaches a group button.

Starts the real Pelkan2.exe (bottom bar) in a fresh folder under the build's
Wine runner, acts as a file manager would through the X drag-and-drop
protocol (XDND, text/uri-list) onto group button 1, closes the bar the way a
window manager does, and checks that the saved settings hold the dropped
file as group 1's program.

usage: xdnd_drop_test.py <build folder>
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

from Xlib import display

from xdnd_source import (close_like_a_window_manager, display_name, drag_and_drop,
                         find_drop_target, settled_at_edge, start_launcher)

BUILD = os.path.abspath(sys.argv[1])
# The middle of group button 1 on a bottom bar of the 1024 x 768 test screen,
# which the shell's desktop-toolbar registration moves into place.  (Wine's
# own tray window, shown once the launcher's tray icon is there, sits in the
# top-left corner and would cover a top bar's first buttons.)
DROP_POINT = (39 + 19, 768 - 19)


LAUNCHER = None


def fail(message):
    print("FAIL:", message)
    if LAUNCHER is not None and LAUNCHER.poll() is None:
        LAUNCHER.kill()
        subprocess.run([os.path.join(BUILD, "wine-run"), "--shutdown"],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    sys.exit(1)


def main():
    folder = tempfile.mkdtemp(prefix="kb_xdnd_")
    try:
        shutil.copy(os.path.join(BUILD, "bin", "Pelkan2.exe"), folder)
        os.makedirs(os.path.join(folder, "data"))
        with open(os.path.join(folder, "data", "KBINI.dat"), "wb") as ini:
            ini.write(b"[Info]\r\nType=2\r\n")
        dropped = os.path.join(folder, "dropped note.txt")
        with open(dropped, "w") as note:
            note.write("dropped from outside\n")

        global LAUNCHER
        launcher = LAUNCHER = start_launcher(BUILD, folder)
        deadline = time.time() + 60
        target = None
        d = None
        while time.time() < deadline and target is None:
            time.sleep(0.5)
            if launcher.poll() is not None:
                fail("Pelkan2.exe ended before the drop")
            if d is None and os.path.exists(os.path.join(BUILD, "xdisplay.state")):
                d = display.Display(display_name(BUILD))
            if d is not None:
                target = find_drop_target(d, *DROP_POINT)
        if target is None:
            launcher.kill()
            fail("no drop target under group button 1")
        # Let the bar settle at its edge (slowly where Wine runs emulated).
        if not settled_at_edge(d, target, 60):
            launcher.kill()
            fail("the bar did not settle at its edge")

        problem = drag_and_drop(d, target, DROP_POINT, [dropped],
                                "the launcher at the group button")
        if problem:
            fail(problem)
        time.sleep(1)
        close_like_a_window_manager(d, target)
        try:
            launcher.wait(30)
        except subprocess.TimeoutExpired:
            launcher.kill()
            fail("the launcher did not close")

        with open(os.path.join(folder, "data", "KBINI.dat"), "rb") as ini:
            saved = ini.read().decode("cp932")
        expected = "FPFileName=Z:" + dropped.replace("/", "\\")
        section = saved[saved.find("[Button1]"):]
        if "[Button1]" not in saved or expected not in section.split("[", 2)[1]:
            fail("group 1 does not hold the dropped file; settings file:\n" + saved)
        print("PASS: the dropped file reached group button 1:", expected)
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
