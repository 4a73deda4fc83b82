#!/usr/bin/env python3
"""Stand-in desktop services for the Wayland scenarios, on the session bus; every call is logged
to the file given with --log as one line: NAME ARGUMENTS (JSON).

- org.freedesktop.impl.portal.Access, granting every request (the screenshot portal needs one);
- --shortcuts standard: impl.portal.GlobalShortcuts as documented; kde: as KDE's 5.27 backend, the
  shortcuts taken from CreateSession's "shortcuts" option and BindShortcuts answered with an empty
  list (opening the shortcut settings); unbound: BindShortcuts answered without the shortcut;
- --screenshot: impl.portal.Screenshot, whose dialog waits for Control.AnswerScreenshot(response)
  (0 allows, 1 refuses);
- org.freedesktop.Notifications unless --no-notifications; --watch-notifications logs the notices
  sent to the desktop's own service as if they had come here;
- --gnome-shots: the name under which GNOME Shell lets a program read the screen, and
  Control.Shoot(file, x, y, width, height) (a width of 0: the whole screen).
Control.Activate(id) presses a bound shortcut."""
import argparse
import json
import os
import subprocess
import sys

import dbus
import dbus.lowlevel
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

IMPL = "org.freedesktop.impl.portal."
OBJ = "/org/freedesktop/portal/desktop"

args = argparse.ArgumentParser()
args.add_argument("--name", required=True)
args.add_argument("--log", required=True)
args.add_argument("--shortcuts", choices=["none", "standard", "kde", "unbound"], default="none")
args.add_argument("--screenshot", action="store_true")
args.add_argument("--no-notifications", action="store_true")
args.add_argument("--watch-notifications", action="store_true")
args.add_argument("--gnome-shots", action="store_true")
opts = args.parse_args()


def log(name, *values):
    with open(opts.log, "a") as f:
        f.write(name + " " + json.dumps(values, default=str) + "\n")  # booleans show as 1 and 0


def bound_entry(sid, props):
    return dbus.Struct((sid, dbus.Dictionary({
        "description": dbus.String(props.get("description", "")),
        "trigger_description": dbus.String(props.get("preferred_trigger", ""))}, signature="sv")),
        signature="sa{sv}")


class Session(dbus.service.Object):
    def __init__(self, bus, path, owner):
        super().__init__(bus, path)
        self.owner = owner

    @dbus.service.method(IMPL + "Session", in_signature="", out_signature="")
    def Close(self):
        log("Session.Close", self._object_path)
        self.owner.sessions.pop(str(self._object_path), None)
        self.remove_from_connection()

    @dbus.service.signal(IMPL + "Session", signature="a{sv}")
    def Closed(self, details):
        pass


class Portal(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, OBJ)
        self.bus = bus
        self.sessions = {}
        self.waiting = []
        self.shots = 0

    @dbus.service.method(IMPL + "Access", in_signature="osssssa{sv}", out_signature="ua{sv}")
    def AccessDialog(self, handle, app_id, parent, title, subtitle, body, options):
        log("Access.AccessDialog", app_id, title)
        return 0, {}

    @dbus.service.method(IMPL + "GlobalShortcuts", in_signature="oosa{sv}", out_signature="ua{sv}")
    def CreateSession(self, handle, session_handle, app_id, options):
        if opts.shortcuts == "none":
            raise dbus.exceptions.DBusException("no global shortcuts here",
                                                name="org.freedesktop.DBus.Error.UnknownMethod")
        log("GlobalShortcuts.CreateSession", session_handle, app_id, options)
        registered = []
        if opts.shortcuts == "kde":
            registered = [bound_entry(sid, props) for sid, props in options.get("shortcuts", [])]
        self.sessions[str(session_handle)] = {"session": Session(self.bus, session_handle, self),
                                              "shortcuts": registered}
        return 0, {"session_handle": dbus.String(session_handle)}

    @dbus.service.method(IMPL + "GlobalShortcuts", in_signature="ooa(sa{sv})sa{sv}", out_signature="ua{sv}")
    def BindShortcuts(self, handle, session_handle, shortcuts, parent, options):
        log("GlobalShortcuts.BindShortcuts", session_handle, shortcuts)
        entry = self.sessions.get(str(session_handle))
        if entry is None:
            return 2, {}
        if opts.shortcuts == "kde":
            log("Settings.Open", "systemsettings://kcm_keys")
            return 0, {"shortcuts": dbus.Array([], signature="(sa{sv})")}
        if opts.shortcuts == "unbound":
            return 0, {"shortcuts": dbus.Array([], signature="(sa{sv})")}
        bound = [bound_entry(sid, props) for sid, props in shortcuts]
        entry["shortcuts"] = bound
        return 0, {"shortcuts": dbus.Array(bound, signature="(sa{sv})")}

    @dbus.service.method(IMPL + "GlobalShortcuts", in_signature="oo", out_signature="ua{sv}")
    def ListShortcuts(self, handle, session_handle):
        entry = self.sessions.get(str(session_handle), {"shortcuts": []})
        return 0, {"shortcuts": dbus.Array(entry["shortcuts"], signature="(sa{sv})")}

    @dbus.service.signal(IMPL + "GlobalShortcuts", signature="osta{sv}")
    def Activated(self, session_handle, shortcut_id, timestamp, options):
        pass

    @dbus.service.signal(IMPL + "GlobalShortcuts", signature="osta{sv}")
    def Deactivated(self, session_handle, shortcut_id, timestamp, options):
        pass

    @dbus.service.method(IMPL + "Screenshot", in_signature="ossa{sv}", out_signature="ua{sv}",
                         async_callbacks=("reply", "error"))
    def Screenshot(self, handle, app_id, parent, options, reply, error):
        """Waits for the scenario's answer, as the desktop's permission dialog waits for the user."""
        log("Screenshot.Screenshot", app_id, options)
        self.waiting.append(reply)

    @dbus.service.method("org.scrawlix.Test.Control", in_signature="u", out_signature="u")
    def AnswerScreenshot(self, response):
        """Answers every waiting screenshot request; returns how many there were."""
        waiting, self.waiting = self.waiting, []
        for reply in waiting:
            results = {}
            if response == 0:
                # What the desktop's screenshot would be: the compositor's picture, in a file.
                self.shots += 1
                path = os.path.join(os.environ["XDG_RUNTIME_DIR"], "standin-shot-%d.png" % self.shots)
                subprocess.run(["grim", path], check=True)
                results["uri"] = dbus.String("file://" + path)
            reply(dbus.UInt32(response), dbus.Dictionary(results, signature="sv"))
        log("Control.AnswerScreenshot", response, len(waiting))
        return len(waiting)

    @dbus.service.method("org.scrawlix.Test.Control", in_signature="s", out_signature="u")
    def Activate(self, shortcut_id):
        """Presses and releases the shortcut in every session that bound it; returns how many."""
        n = 0
        for path, entry in self.sessions.items():
            if any(str(s[0]) == shortcut_id for s in entry["shortcuts"]):
                stamp = dbus.UInt64(GLib.get_monotonic_time() // 1000)
                self.Activated(dbus.ObjectPath(path), shortcut_id, stamp, dbus.Dictionary({}, signature="sv"))
                self.Deactivated(dbus.ObjectPath(path), shortcut_id, stamp, dbus.Dictionary({}, signature="sv"))
                n += 1
        log("Control.Activate", shortcut_id, n)
        return n

    @dbus.service.method("org.scrawlix.Test.Control", in_signature="siiii", out_signature="",
                         async_callbacks=("reply", "error"))
    def Shoot(self, path, x, y, width, height, reply, error):
        """The screen, or an area of it, from GNOME Shell into the PNG file at path."""
        # No introspection, and no waiting here: the shell's answer comes through the main loop.
        shell = self.bus.get_object("org.gnome.Shell.Screenshot", "/org/gnome/Shell/Screenshot", introspect=False)

        def done(ok, _):
            if ok:
                reply()
            else:
                error(dbus.exceptions.DBusException("GNOME Shell took no screenshot"))
        how = dict(dbus_interface="org.gnome.Shell.Screenshot", reply_handler=done, error_handler=error)
        if width:
            shell.ScreenshotArea(x, y, width, height, False, path, **how)
        else:
            shell.Screenshot(False, False, path, **how)


def watch_notifications(bus):
    bus.add_match_string("eavesdrop=true,type='method_call',interface='org.freedesktop.Notifications',member='Notify'")

    def seen(_, message):
        # What programs send to the service's name; the service passes each on to the shell.
        if message.get_destination() == "org.freedesktop.Notifications" and message.get_member() == "Notify":
            values = message.get_args_list()
            log("Notifications.Notify", values[0], values[3], values[4])
        # Every message goes on to its handlers: a filter's None would count as handled.
        return dbus.lowlevel.HANDLER_RESULT_NOT_YET_HANDLED
    bus.add_message_filter(seen)


class Notifications(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, "/org/freedesktop/Notifications")
        self.next = 1

    @dbus.service.method("org.freedesktop.Notifications", in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app, replaces, icon, summary, body, actions, hints, timeout):
        log("Notifications.Notify", app, summary, body)
        self.next += 1
        return self.next - 1

    @dbus.service.method("org.freedesktop.Notifications", in_signature="", out_signature="as")
    def GetCapabilities(self):
        return ["body"]

    @dbus.service.method("org.freedesktop.Notifications", in_signature="", out_signature="ssss")
    def GetServerInformation(self):
        return "standin", "scrawlix-tests", "1", "1.2"

    @dbus.service.method("org.freedesktop.Notifications", in_signature="u", out_signature="")
    def CloseNotification(self, nid):
        pass


DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
keep = [Portal(bus), Notifications(bus)]
names = [dbus.service.BusName(opts.name, bus)]
if not opts.no_notifications:
    names.append(dbus.service.BusName("org.freedesktop.Notifications", bus))
if opts.gnome_shots:
    names.append(dbus.service.BusName("org.gnome.Screenshot", bus))
if opts.watch_notifications:
    watch_notifications(bus)
print("ready", flush=True)
GLib.MainLoop().run()
