#!/usr/bin/env python3
"""kwinshot.py [-g "X,Y WxH"] [-t ppm|png] FILE|-: the screen as KWin composites it, through its
ScreenShot2 interface, for the scenarios on KWin (where grim, which needs wlroots' screencopy, has
nothing to ask). The session's desktop entry for this interpreter grants the interface."""
import argparse
import os
import subprocess
import sys

import dbus

args = argparse.ArgumentParser()
args.add_argument("-g", dest="geometry")
args.add_argument("-t", dest="type", default="png")
args.add_argument("file")
opts = args.parse_args()

bus = dbus.SessionBus()
shot = dbus.Interface(bus.get_object("org.kde.KWin", "/org/kde/KWin/ScreenShot2"), "org.kde.KWin.ScreenShot2")
read_end, write_end = os.pipe()
options = dbus.Dictionary({"include-cursor": False, "native-resolution": True}, signature="sv")
if opts.geometry:
    at, size = opts.geometry.split(" ")
    x, y = (int(v) for v in at.split(","))
    w, h = (int(v) for v in size.split("x"))
    reply = shot.CaptureArea(x, y, dbus.UInt32(w), dbus.UInt32(h), options, dbus.types.UnixFd(write_end))
else:
    reply = shot.CaptureActiveScreen(options, dbus.types.UnixFd(write_end))
os.close(write_end)
width, height, stride, fmt = (int(reply[k]) for k in ("width", "height", "stride", "format"))
want = stride * height
with os.fdopen(read_end, "rb") as f:
    data = f.read(want)  # up to the end of the pipe
if len(data) < want:
    sys.exit("kwinshot: %d of %d bytes" % (len(data), want))
# QImage's 32-bit formats: ARGB32 (5), ARGB32_Premultiplied (6) and RGB32 (4) are B, G, R, A in
# memory; RGBX8888 (16), RGBA8888 (17, 18) are R, G, B, A. ImageMagick reads the rows, stride and all.
if fmt not in (4, 5, 6, 16, 17, 18):
    sys.exit("kwinshot: image format %d" % fmt)
raw = "%s:-" % ("bgra" if fmt in (4, 5, 6) else "rgba")
subprocess.run(["convert", "-size", "%dx%d" % (stride // 4, height), "-depth", "8", raw,
                "-crop", "%dx%d+0+0" % (width, height), "+repage", "-alpha", "off", "%s:%s" % (opts.type, opts.file)],
               input=bytes(data), check=True)
