#!/usr/bin/python3
"""Asks an X window to close, as its close box does (WM_DELETE_WINDOW)."""
import sys

from Xlib import X, display, protocol

screen = display.Display()
window = screen.create_resource_object("window", int(sys.argv[1], 0))
protocols = screen.intern_atom("WM_PROTOCOLS")
delete = screen.intern_atom("WM_DELETE_WINDOW")
message = protocol.event.ClientMessage(
    window=window, client_type=protocols, data=(32, [delete, X.CurrentTime, 0, 0, 0])
)
window.send_event(message, event_mask=X.NoEventMask)
screen.flush()
