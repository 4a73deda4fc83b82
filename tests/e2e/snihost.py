#!/usr/bin/python3
"""A StatusNotifier host as some panels are: it never asks the item to show a menu of its own
(no ContextMenu call); it shows the menu that the item exports over D-Bus (com.canonical.dbusmenu),
read with GetLayout and answered with Event.

    snihost.py menu-path         the item's Menu property
    snihost.py layout            the menu's entries, one a line:
                                 TYPE|LABEL|enabled|visible|icon   (icon: the PNG's WIDTHxHEIGHT or -)
    snihost.py click LABEL       the entry shown as LABEL ("_" before the access key) is clicked

Exits 1 with a message on stderr when there is no item, no menu or no such entry."""
import struct
import sys
import time

import dbus

WATCHER = "org.kde.StatusNotifierWatcher"
PROPS = "org.freedesktop.DBus.Properties"
MENU = "com.canonical.dbusmenu"
bus = dbus.SessionBus()


def die(message):
    sys.exit("snihost: " + message)


def menu_path():
    """The item's bus name and its Menu property."""
    items = bus.get_object(WATCHER, "/StatusNotifierWatcher").Get(WATCHER, "RegisteredStatusNotifierItems",
                                                                  dbus_interface=PROPS)
    if not items:
        die("no StatusNotifier item is registered")
    name, _, path = str(items[0]).partition("/")  # "service" or "service/path", as it registered
    item = bus.get_object(name, "/" + path if path else "/StatusNotifierItem")
    return name, str(item.Get("org.kde.StatusNotifierItem", "Menu", dbus_interface=PROPS))


def png_size(data):
    data = bytes(data)
    if len(data) < 24 or data[:8] != b"\x89PNG\r\n\x1a\n":
        return "-"
    return "%dx%d" % struct.unpack(">II", data[16:24])


def entries():
    name, path = menu_path()
    if path in ("", "/", "/NO_DBUSMENU"):
        die("the item exports no menu (Menu=%s)" % path)
    m = bus.get_object(name, path)
    m.AboutToShow(dbus.Int32(0), dbus_interface=MENU)
    _, layout = m.GetLayout(dbus.Int32(0), dbus.Int32(-1), dbus.Array([], signature="s"), dbus_interface=MENU)
    return m, [(int(c[0]), c[1]) for c in layout[2]]


def main(argv):
    if argv == ["menu-path"]:
        print(menu_path()[1])
    elif argv == ["layout"]:
        for _, p in entries()[1]:
            print("%s|%s|%s|%s|%s" % (p.get("type", "standard"), p.get("label", ""),
                                      "enabled" if p.get("enabled", True) else "disabled",
                                      "visible" if p.get("visible", True) else "hidden", png_size(p.get("icon-data", b""))))
    elif len(argv) == 2 and argv[0] == "click":
        m, es = entries()
        for ident, p in es:
            if p.get("label", "") == argv[1] and p.get("visible", True):
                m.Event(dbus.Int32(ident), "clicked", dbus.Int32(0, variant_level=1),
                        dbus.UInt32(int(time.time()) & 0xffffffff), dbus_interface=MENU)
                return
        die("the menu has no entry \"%s\"" % argv[1])
    else:
        die(__doc__)


main(sys.argv[1:])
