#!/usr/bin/python3
"""A StatusNotifier host as some panels are: it never asks the item to show a menu of its own
(no ContextMenu call). A click on the icon is Activate; a right-click shows the menu that the item
exports over D-Bus (com.canonical.dbusmenu), read with GetLayout and answered with Event.

    snihost.py item              the registered item, "BUS-NAME OBJECT-PATH"
    snihost.py menu-path         the item's Menu property
    snihost.py activate          a click on the icon
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
ITEM = "org.kde.StatusNotifierItem"
MENU = "com.canonical.dbusmenu"


def die(message):
    print("snihost: " + message, file=sys.stderr)
    sys.exit(1)


bus = dbus.SessionBus()


def item():
    watcher = bus.get_object(WATCHER, "/StatusNotifierWatcher")
    items = watcher.Get(WATCHER, "RegisteredStatusNotifierItems", dbus_interface=PROPS)
    if not items:
        die("no StatusNotifier item is registered")
    name = str(items[0])
    # "service" or "service/path", as the item registered itself.
    if "/" in name:
        at = name.index("/")
        return name[:at], name[at:]
    return name, "/StatusNotifierItem"


def item_object():
    name, path = item()
    return bus.get_object(name, path)


def menu():
    name, path = item()
    menu_path = str(bus.get_object(name, path).Get(ITEM, "Menu", dbus_interface=PROPS))
    if menu_path in ("", "/", "/NO_DBUSMENU"):
        die("the item exports no menu (Menu=%s)" % menu_path)
    return bus.get_object(name, menu_path)


def png_size(data):
    data = bytes(data)
    if len(data) < 24 or data[:8] != b"\x89PNG\r\n\x1a\n":
        return "-"
    width, height = struct.unpack(">II", data[16:24])
    return "%dx%d" % (width, height)


def entries():
    m = menu()
    m.AboutToShow(dbus.Int32(0), dbus_interface=MENU)
    _, layout = m.GetLayout(dbus.Int32(0), dbus.Int32(-1), dbus.Array([], signature="s"),
                            dbus_interface=MENU)
    out = []
    for child in layout[2]:
        ident, props = int(child[0]), child[1]
        out.append({
            "id": ident,
            "type": str(props.get("type", "standard")),
            "label": str(props.get("label", "")),
            "enabled": bool(props.get("enabled", True)),
            "visible": bool(props.get("visible", True)),
            "icon": png_size(props.get("icon-data", b"")),
        })
    return m, out


def main(argv):
    if not argv:
        die(__doc__)
    what = argv[0]
    if what == "item":
        print(" ".join(item()))
    elif what == "menu-path":
        name, path = item()
        print(bus.get_object(name, path).Get(ITEM, "Menu", dbus_interface=PROPS))
    elif what == "activate":
        item_object().Activate(dbus.Int32(10), dbus.Int32(10), dbus_interface=ITEM)
    elif what == "layout":
        for e in entries()[1]:
            print("%s|%s|%s|%s|%s" % (e["type"], e["label"], "enabled" if e["enabled"] else "disabled",
                                      "visible" if e["visible"] else "hidden", e["icon"]))
    elif what == "click" and len(argv) == 2:
        m, es = entries()
        for e in es:
            if e["label"] == argv[1] and e["visible"]:
                m.Event(dbus.Int32(e["id"]), "clicked", dbus.Int32(0, variant_level=1),
                        dbus.UInt32(int(time.time()) & 0xffffffff), dbus_interface=MENU)
                return
        die("the menu has no entry \"%s\"" % argv[1])
    else:
        die(__doc__)


main(sys.argv[1:])
