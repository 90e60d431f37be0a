#!/usr/bin/python3
"""Files dropped from outside the launcher reach the backup target list.

Starts the real Pelkan2.exe (bottom bar, one registered program) in a fresh
folder under the build's Wine runner, opens the group window, the
registration dialog and the backup target dialog with real clicks (XTEST,
as a user would), drops two files on the target list through the X
drag-and-drop protocol (XDND, text/uri-list) as a file manager does,
confirms both dialogs, closes the bar the way a window manager does, and
checks the backup settings file for the dropped files.

usage: xdnd_backup_drop_test.py <build folder>
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

from Xlib import X, display
from Xlib.ext import xtest

from xdnd_source import (close_like_a_window_manager, display_name, drag_and_drop,
                         find_drop_target, settled_at_edge, start_launcher)

BUILD = os.path.abspath(sys.argv[1])
# On a bottom bar of the 1024 x 768 test screen, clear of Wine's own tray
# window in the top-left corner: the middle of group button 1, and of slot 1
# of the group window right above it.
GROUP_BUTTON_1 = (39 + 19, 768 - 19)
PROGRAM_BUTTON_1 = (39 + 19, 768 - 38 - 39 + 19)
# Client positions inside the dialogs.
BACKUP_BUTTON = (240 + 80, 228 + 12)   # "バックアップ対象の設定..." of the registration dialog
REGISTRATION_OK = (168 + 37, 272 + 12)
TARGET_LIST = (16 + 180, 80 + 40)      # the middle of the backup target list
BACKUP_OK = (104 + 37, 328 + 12)

LAUNCHER = None


def fail(message):
    print("FAIL:", message)
    if LAUNCHER is not None and LAUNCHER.poll() is None:
        LAUNCHER.kill()
    subprocess.run([os.path.join(BUILD, "wine-run"), "--shutdown"],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    sys.exit(1)


def window_named(d, name, timeout=60):
    """The X window of a shown top-level Wine window with that caption."""
    end = time.time() + timeout
    while time.time() < end:
        window = find_named(d, name)
        if window is not None:
            time.sleep(0.5)  # let it take its place
            return window
        time.sleep(0.3)
    fail("no window captioned " + name)


def find_named(d, name):
    wanted = name.encode("utf-8")
    net_name = d.intern_atom("_NET_WM_NAME")
    stack = [d.screen().root]
    while stack:
        window = stack.pop()
        try:
            prop = window.get_full_property(net_name, X.AnyPropertyType)
            if prop is not None and bytes(prop.value) == wanted:
                if window.get_attributes().map_state == X.IsViewable:
                    return window
            stack.extend(window.query_tree().children)
        except Exception:
            continue
    return None


def wait_gone(d, name, timeout=60):
    end = time.time() + timeout
    while time.time() < end:
        if find_named(d, name) is None:
            return
        time.sleep(0.3)
    fail(name + " did not close")


def wait_for_window_at(d, point, timeout=60):
    """Waits until a window (the group window) shows at a desktop point."""
    root = d.screen().root
    end = time.time() + timeout
    while time.time() < end:
        child = root.translate_coords(root, *point).child
        if child and child != X.NONE:
            time.sleep(0.5)
            return
        time.sleep(0.3)
    fail("no window appeared at %r" % (point,))


def root_point(d, window, point):
    origin = window.translate_coords(d.screen().root, 0, 0)
    return (point[0] - origin.x, point[1] - origin.y)


def click(d, point, button=1):
    root = d.screen().root
    root.warp_pointer(*point)
    d.sync()
    time.sleep(0.3)
    xtest.fake_input(d, X.ButtonPress, button)
    xtest.fake_input(d, X.ButtonRelease, button)
    d.sync()
    time.sleep(0.8)


def main():
    folder = tempfile.mkdtemp(prefix="kb_xdnd_backup_")
    try:
        shutil.copy(os.path.join(BUILD, "bin", "Pelkan2.exe"), folder)
        os.makedirs(os.path.join(folder, "data"))
        with open(os.path.join(folder, "data", "KBINI.dat"), "wb") as ini:
            ini.write(b"[Info]\r\nType=2\r\n[ExButton1-1]\r\nFPFileName=C:\\windows\\notepad.exe\r\n"
                      b"WorkingDir=C:\\windows\\\r\nShowName=np\r\n")
        dropped = [os.path.join(folder, "save data.dat"), os.path.join(folder, "config.ini")]
        for path in dropped:
            with open(path, "w") as data:
                data.write("data of a program\n")

        global LAUNCHER
        LAUNCHER = start_launcher(BUILD, folder)
        d = None
        deadline = time.time() + 60
        while d is None and time.time() < deadline:
            time.sleep(0.5)
            if LAUNCHER.poll() is not None:
                fail("Pelkan2.exe ended early")
            if os.path.exists(os.path.join(BUILD, "xdisplay.state")):
                d = display.Display(display_name(BUILD))
        if d is None:
            fail("no display")
        while find_drop_target(d, *GROUP_BUTTON_1) is None and time.time() < deadline:
            time.sleep(0.5)
        bar = find_drop_target(d, *GROUP_BUTTON_1)
        # Let the bar settle at its edge (slowly where Wine runs emulated).
        if bar is None or not settled_at_edge(d, bar, 60, bottom_only=True):
            fail("the bar did not settle at its edge")

        click(d, GROUP_BUTTON_1)
        wait_for_window_at(d, PROGRAM_BUTTON_1)
        click(d, PROGRAM_BUTTON_1, button=3)
        registration = window_named(d, "プログラムの登録")
        click(d, root_point(d, registration, BACKUP_BUTTON))
        backup = window_named(d, "データバックアップの指定")

        problem = drag_and_drop(d, backup, root_point(d, backup, TARGET_LIST), dropped,
                                "the backup target list")
        if problem:
            fail(problem)
        time.sleep(1)

        click(d, root_point(d, backup, BACKUP_OK))
        wait_gone(d, "データバックアップの指定")
        click(d, root_point(d, registration, REGISTRATION_OK))
        wait_gone(d, "プログラムの登録")
        close_like_a_window_manager(d, bar)
        try:
            LAUNCHER.wait(60)
        except subprocess.TimeoutExpired:
            fail("the launcher did not close")

        path = os.path.join(folder, "data", "BUInfo.dat")
        if not os.path.exists(path):
            fail("no backup settings were saved")
        with open(path, "rb") as info:
            saved = info.read().decode("cp932")
        expected = ["Z:" + p.replace("/", "\\") for p in sorted(dropped, key=str.lower)]
        wanted = "[binf101]\r\n" in saved and "Number=2\r\n" in saved and all(
            "File%d=%s\r\n" % (i + 1, name) in saved for i, name in enumerate(expected))
        if not wanted:
            fail("the backup list does not hold the dropped files; BUInfo.dat:\n" + saved)
        print("PASS: the dropped files reached the backup target list:", expected)
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
