"""A stand-in for GNOME's Mutter idle monitor on a session bus of the test's
own: the calls and the signal brenlow-idle uses, with ResetIdletime as the
user's input. Runs under Debian's python3, which has GObject's bindings."""

import time

from gi.repository import Gio, GLib

NAME = "org.gnome.Mutter.IdleMonitor"
PATH = "/org/gnome/Mutter/IdleMonitor/Core"
INTERFACE = Gio.DBusNodeInfo.new_for_xml("""<node>
<interface name="org.gnome.Mutter.IdleMonitor">
  <method name="GetIdletime"><arg type="t" direction="out"/></method>
  <method name="AddIdleWatch"><arg type="t" direction="in"/><arg type="u" direction="out"/></method>
  <method name="AddUserActiveWatch"><arg type="u" direction="out"/></method>
  <method name="RemoveWatch"><arg type="u" direction="in"/></method>
  <method name="ResetIdletime"/>
  <signal name="WatchFired"><arg type="u"/></signal>
</interface></node>""").interfaces[0]

bus = Gio.bus_get_sync(Gio.BusType.SESSION)
last_input = time.monotonic()
idle_watches = {}  # id: [interval in ms, GLib timeout or 0]
active_watches = set()
ids = iter(range(1, 1 << 31))


def fire(watch):
    bus.emit_signal(None, PATH, NAME, "WatchFired", GLib.Variant("(u)", (watch,)))


def arm(watch):
    """As Mutter: an idle watch fires once per idle period, counted from
    the last input."""
    def due():
        idle_watches[watch][1] = 0
        fire(watch)
        return False
    left = last_input + idle_watches[watch][0] / 1000 - time.monotonic()
    idle_watches[watch][1] = GLib.timeout_add(max(0, int(left * 1000)), due)


def call(connection, sender, path, interface, method, args, invocation):
    global last_input
    reply = None
    if method == "GetIdletime":
        reply = GLib.Variant("(t)", (int(1000 * (time.monotonic() - last_input)),))
    elif method == "AddIdleWatch":
        watch = next(ids)
        idle_watches[watch] = [args[0], 0]
        arm(watch)
        reply = GLib.Variant("(u)", (watch,))
    elif method == "AddUserActiveWatch":
        watch = next(ids)
        active_watches.add(watch)
        reply = GLib.Variant("(u)", (watch,))
    elif method == "RemoveWatch":
        timer = idle_watches.pop(args[0], [0, 0])[1]
        if timer:
            GLib.source_remove(timer)
        active_watches.discard(args[0])
    elif method == "ResetIdletime":
        last_input = time.monotonic()
        for watch in sorted(active_watches):
            fire(watch)
        active_watches.clear()
        for watch, (interval, timer) in idle_watches.items():
            if timer:
                GLib.source_remove(timer)
            arm(watch)
    invocation.return_value(reply)


bus.register_object(PATH, INTERFACE, call, None, None)
Gio.bus_own_name_on_connection(bus, NAME, Gio.BusNameOwnerFlags.NONE,
                               lambda *_: print("ready", flush=True), None)
GLib.MainLoop().run()
