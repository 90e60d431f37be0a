"""An X drag source for the drop tests: what a file manager does when it
drags files onto a Wine window (the XDND protocol with text/uri-list)."""
import os
import subprocess
import time

from Xlib import X, protocol


def display_name(build):
    with open(os.path.join(build, "xdisplay.state")) as state:
        return ":" + state.read().split()[0]


def start_launcher(build, folder):
    """Pelkan2.exe of `folder` under the build's Wine runner."""
    return subprocess.Popen([os.path.join(build, "wine-run"), os.path.join(folder, "Pelkan2.exe")],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def find_drop_target(d, x, y):
    """The deepest window under (x, y) that announces XdndAware."""
    aware = d.intern_atom("XdndAware")
    window = d.screen().root
    found = None
    while window:
        if window.get_full_property(aware, X.AnyPropertyType):
            found = window
        child = window.translate_coords(d.screen().root, x, y).child
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


def drag_and_drop(d, target, point, paths, what):
    """Drops the files `paths` at `point` (the target's coordinates) from a
    window of its own.  Returns None, or what went wrong; `what` names the
    drop site in that text."""
    source = d.screen().root.create_window(-10, -10, 1, 1, 0, X.CopyFromParent)
    uri_list = "".join("file://" + p.replace(" ", "%20") + "\r\n" for p in paths).encode()
    atom = d.intern_atom
    source.set_selection_owner(atom("XdndSelection"), X.CurrentTime)
    client_message(d, target, "XdndEnter", [source.id, 5 << 24, atom("text/uri-list"), 0, 0])
    client_message(d, target, "XdndPosition",
                   [source.id, 0, (point[0] << 16) | point[1], X.CurrentTime,
                    atom("XdndActionCopy")])
    status = next_message(d, "XdndStatus", 10, uri_list)
    if status is None:
        return "no XdndStatus from " + what
    if not status.data[1][1] & 1:
        return "%s refused the drop (status %r)" % (what, status.data[1])
    client_message(d, target, "XdndDrop", [source.id, 0, X.CurrentTime, 0, 0])
    if next_message(d, "XdndFinished", 15, uri_list) is None:
        return "the launcher never finished the drop"
    return None


def settled_at_edge(d, target, timeout, bottom_only=False):
    """Waits until the bar spans the bottom (or the top) edge and holds still."""
    root = d.screen().root
    screen = d.screen()
    end = time.time() + timeout
    last = None
    while time.time() < end:
        origin = root.translate_coords(target, 0, 0)
        size = target.get_geometry()
        place = (origin.x, origin.y, size.width, size.height)
        at_bottom = place[1] + place[3] == screen.height_in_pixels
        at_top = place[1] == 0 and not bottom_only
        if place == last and place[0] == 0 and place[2] == screen.width_in_pixels and (
                at_bottom or at_top):
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
