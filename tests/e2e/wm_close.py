#!/usr/bin/python3
"""Sends WM_DELETE_WINDOW to the first window whose name is argv[1], as a
window manager does when the user clicks the close box."""
import sys

from Xlib import X, display, protocol


def find(window, name):
    """The mapped windows called `name` (Qt also keeps unmapped ones); under a
    window manager they sit inside its frames, so the whole tree is searched."""
    found = []
    for child in window.query_tree().children:
        try:
            if child.get_wm_name() == name and child.get_attributes().map_state == X.IsViewable:
                found.append(child)
            else:
                found.extend(find(child, name))
        except Exception:
            continue
    return found


def main():
    screen = display.Display()
    targets = find(screen.screen().root, sys.argv[1])
    if not targets:
        print("no window named", sys.argv[1], file=sys.stderr)
        return 1
    target = targets[0]
    protocols = screen.intern_atom("WM_PROTOCOLS")
    delete = screen.intern_atom("WM_DELETE_WINDOW")
    event = protocol.event.ClientMessage(window=target, client_type=protocols, data=(32, [delete, X.CurrentTime, 0, 0, 0]))
    target.send_event(event, event_mask=X.NoEventMask)
    screen.flush()
    return 0


if __name__ == "__main__":
    sys.exit(main())
