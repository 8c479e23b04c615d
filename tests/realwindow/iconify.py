#!/usr/bin/python3
# Minimises window $1 as a window manager would: Iconic in its WM_STATE, and unmapped.
import ctypes
import sys

xlib = ctypes.cdll.LoadLibrary("libX11.so.6")
xlib.XOpenDisplay.restype = ctypes.c_void_p
xlib.XInternAtom.restype = ctypes.c_ulong
display = ctypes.c_void_p(xlib.XOpenDisplay(None))
window = ctypes.c_ulong(int(sys.argv[1], 0))
wm_state = ctypes.c_ulong(xlib.XInternAtom(display, b"WM_STATE", False))
iconic = (ctypes.c_long * 2)(3, 0)  # IconicState, no icon window
xlib.XChangeProperty(display, window, wm_state, wm_state, 32, 0, iconic, 2)
xlib.XUnmapWindow(display, window)
xlib.XCloseDisplay(display)
