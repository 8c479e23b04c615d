#!/usr/bin/python3
# Reads and plays the running game's board through the accessibility bus (AT-SPI over D-Bus),
# as a screen reader does. Usage:
#   atspi.py enable       switches the session's accessibility on, as a screen reader does
#   atspi.py holes        one line per hole on the board: name|x|y|width|height on the screen
#   atspi.py places       the places of the main window and of the board: x|y|width|height each
#   atspi.py press NAME   runs the one action of the hole named NAME; prints name|description
#   atspi.py listen       prints the new name of each hole that announces a change, until killed
#   atspi.py listeners    the events that screen readers have asked the registry for, one a line
#   atspi.py focused      the name of the hole that has the keyboard focus, if one has
import sys

import dbus

ACCESSIBLE = "org.a11y.atspi.Accessible"
PROPERTIES = "org.freedesktop.DBus.Properties"
PUSH_BUTTON = 43  # ATSPI_ROLE_PUSH_BUTTON
FOCUSED = 12  # ATSPI_STATE_FOCUSED


def a11y_bus():
    bus = dbus.SessionBus().get_object("org.a11y.Bus", "/org/a11y/bus")
    return dbus.bus.BusConnection(str(bus.GetAddress(dbus_interface="org.a11y.Bus")))


def name(bus, ref):
    return str(bus.get_object(*ref).Get(ACCESSIBLE, "Name", dbus_interface=PROPERTIES))


def children(bus, ref):
    return [(str(b), str(p)) for b, p in bus.get_object(*ref).GetChildren(dbus_interface=ACCESSIBLE)]


def extents(bus, ref):
    return "%d|%d|%d|%d" % tuple(bus.get_object(*ref).GetExtents(
        dbus.UInt32(0), dbus_interface="org.a11y.atspi.Component"))


def game(bus):
    root = ("org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root")
    apps = [app for app in children(bus, root) if name(bus, app) == "Quorvel"]
    if len(apps) != 1:
        sys.exit("the game is on the accessibility bus %d times" % len(apps))
    return apps[0]


def board(bus):
    """The accessible named as the board is (with what lies on it) that has holes among its push
    buttons, and those."""
    pending = children(bus, game(bus))
    while pending:
        ref = pending.pop(0)
        kids = children(bus, ref)
        buttons = [kid for kid in kids
                   if bus.get_object(*kid).GetRole(dbus_interface=ACCESSIBLE) == PUSH_BUTTON]
        if name(bus, ref).startswith("Игровое поле") and any(":" in name(bus, kid) for kid in buttons):
            return ref, buttons
        pending += kids
    sys.exit("no board on the accessibility bus")


def holes(bus):
    return board(bus)[1]


def main():
    command = sys.argv[1]
    if command == "enable":
        bus = dbus.SessionBus().get_object("org.a11y.Bus", "/org/a11y/bus")
        bus.Set("org.a11y.Status", "IsEnabled", True, dbus_interface=PROPERTIES)
        return
    if command == "listen":
        from dbus.mainloop.glib import DBusGMainLoop
        from gi.repository import GLib
        DBusGMainLoop(set_as_default=True)
    bus = a11y_bus()
    if command == "holes":
        for hole in holes(bus):
            print("%s|%s" % (name(bus, hole), extents(bus, hole)))
    elif command == "places":
        print(extents(bus, children(bus, game(bus))[0]))
        print(extents(bus, board(bus)[0]))
    elif command == "focused":
        for hole in holes(bus):
            if bus.get_object(*hole).GetState(dbus_interface=ACCESSIBLE)[0] & (1 << FOCUSED):
                print(name(bus, hole))
    elif command == "listeners":
        registry = bus.get_object("org.a11y.atspi.Registry", "/org/a11y/atspi/registry")
        for _, event in registry.GetRegisteredEvents(dbus_interface="org.a11y.atspi.Registry"):
            print(event)
    elif command == "press":
        for hole in holes(bus):
            if name(bus, hole) == sys.argv[2]:
                action = dbus.Interface(bus.get_object(*hole), "org.a11y.atspi.Action")
                print("%s|%s" % (action.GetName(0), action.GetDescription(0)))
                action.DoAction(0)
                return
        sys.exit("no hole named '%s'" % sys.argv[2])
    elif command == "listen":
        def changed(kind, *_, sender=None, path=None):
            hole = bus.get_object(sender, path)
            if kind == "accessible-name" and hole.GetRole(dbus_interface=ACCESSIBLE) == PUSH_BUTTON:
                print(name(bus, (sender, path)), flush=True)
        bus.add_signal_receiver(changed, "PropertyChange", "org.a11y.atspi.Event.Object",
                                sender_keyword="sender", path_keyword="path")
        registry = bus.get_object("org.a11y.atspi.Registry", "/org/a11y/atspi/registry")
        registry.RegisterEvent("object:property-change:accessible-name", dbus.Array([], "s"), "",
                               dbus_interface="org.a11y.atspi.Registry")
        print("listening", flush=True)
        GLib.MainLoop().run()


main()
