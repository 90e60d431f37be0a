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

from Xlib import X, Xatom, display, protocol

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


def display_name():
    with open(os.path.join(BUILD, "xdisplay.state")) as state:
        return ":" + state.read().split()[0]


def find_drop_target(d, x, y):
    """The deepest window under (x, y) that announces XdndAware."""
    aware = d.intern_atom("XdndAware")
    window = d.screen().root
    found = None
    while window:
        if window.get_full_property(aware, X.AnyPropertyType):
            found = window
        reply = window.translate_coords(d.screen().root, x, y)
        child = reply.child
        if not child or child == X.NONE:
            break
        window = child
    return found


def client_message(d, target, kind, data):
    event = protocol.event.ClientMessage(window=target, client_type=d.intern_atom(kind),
                                         data=(32, data))
    target.send_event(event, event_mask=0)
    d.flush()


def serve_selection(d, event, payload):
    # Wine asks for the dragged data as soon as the drag enters its window.
    event.requestor.change_property(event.property, event.target, 8, payload)
    notify = protocol.event.SelectionNotify(time=event.time, requestor=event.requestor,
                                            selection=event.selection, target=event.target,
                                            property=event.property)
    event.requestor.send_event(notify)
    d.flush()


def next_message(d, kind, timeout, payload):
    """Waits for a client message of `kind`, serving selection requests."""
    end = time.time() + timeout
    while time.time() < end:
        while d.pending_events():
            event = d.next_event()
            if event.type == X.SelectionRequest:
                serve_selection(d, event, payload)
            elif event.type == X.ClientMessage and event.client_type == d.intern_atom(kind):
                return event
        time.sleep(0.02)
    return None


def drag_and_drop(d, source, target, uri_list):
    atom = d.intern_atom
    uri_type = atom("text/uri-list")
    source.set_selection_owner(atom("XdndSelection"), X.CurrentTime)
    client_message(d, target, "XdndEnter", [source.id, 5 << 24, uri_type, 0, 0])
    client_message(d, target, "XdndPosition",
                   [source.id, 0, (DROP_POINT[0] << 16) | DROP_POINT[1], X.CurrentTime,
                    atom("XdndActionCopy")])
    status = next_message(d, "XdndStatus", 10, uri_list)
    if status is None:
        fail("no XdndStatus from the launcher")
    if not status.data[1][1] & 1:
        fail("the launcher refused the drop at the group button (status %r)" % (status.data[1],))
    client_message(d, target, "XdndDrop", [source.id, 0, X.CurrentTime, 0, 0])
    if next_message(d, "XdndFinished", 15, uri_list) is None:
        fail("the launcher never finished the drop")


def settled_at_edge(d, target, timeout):
    """Waits until the bar spans the top or bottom edge and holds still there."""
    root = d.screen().root
    screen = d.screen()
    end = time.time() + timeout
    last = None
    while time.time() < end:
        origin = root.translate_coords(target, 0, 0)
        size = target.get_geometry()
        place = (origin.x, origin.y, size.width, size.height)
        at_edge = (place[0] == 0 and place[2] == screen.width_in_pixels
                   and (place[1] == 0 or place[1] + place[3] == screen.height_in_pixels))
        if place == last and at_edge:
            return True
        last = place
        time.sleep(0.25)
    return False


def close_like_a_window_manager(d, target):
    atom = d.intern_atom
    event = protocol.event.ClientMessage(window=target, client_type=atom("WM_PROTOCOLS"),
                                         data=(32, [atom("WM_DELETE_WINDOW"), X.CurrentTime,
                                                    0, 0, 0]))
    target.send_event(event, event_mask=0)
    d.flush()


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
        launcher = LAUNCHER = subprocess.Popen([os.path.join(BUILD, "wine-run"),
                                     os.path.join(folder, "Pelkan2.exe")],
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.time() + 60
        target = None
        d = None
        while time.time() < deadline and target is None:
            time.sleep(0.5)
            if launcher.poll() is not None:
                fail("Pelkan2.exe ended before the drop")
            if d is None and os.path.exists(os.path.join(BUILD, "xdisplay.state")):
                d = display.Display(display_name())
            if d is not None:
                target = find_drop_target(d, *DROP_POINT)
        if target is None:
            launcher.kill()
            fail("no drop target under group button 1")
        # Let the bar settle at its edge (slowly where Wine runs emulated).
        if not settled_at_edge(d, target, 60):
            launcher.kill()
            fail("the bar did not settle at its edge")

        source = d.screen().root.create_window(-10, -10, 1, 1, 0, X.CopyFromParent)
        uri = "file://" + dropped.replace(" ", "%20") + "\r\n"
        drag_and_drop(d, source, target, uri.encode())
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
