# SPDX-License-Identifier: GPL-3.0-or-later
"""Walks the accessibility tree of a running TidloCleaner over AT-SPI and
checks that a screen reader finds every control of the page by its visible
name. Usage: walk.py [--press] [--page TAB::TEXT::TEXT ...] NAME [NAME ...];
each NAME must be the accessible name of some push button, check box, page tab
or text. Also fails when any pressable control has no name. Prints what it
found.

Each --page opens the page of that sidebar tab by its press action and then
finds each TEXT on it as a label (a title, a subtitle, a hint): the static
words of every page are read by a screen reader too.

Each --put-back NAME::FILE (last, on the Clean page with NAME selected) moves
NAME to the Trash through the confirmation, then opens the History page's
line of that clean-up and puts NAME back through its Put Back and the
confirmation, by the press action alone; FILE (below the home folder) must be
gone after the clean-up and back after the put-back, and the item must then
read "Put back".

With --press (on the Clean page with findings selected) it then works the page
as a screen reader user would, through the press action alone: Move to Trash
opens the confirmation, its Cancel closes it, Deselect All empties the
selection, Move to Trash is then reported disabled (neither enabled nor
sensitive) and opens nothing, and a row's check box ticks its row."""
import os
import sys
import time

import pyatspi

PRESSABLE = {
    pyatspi.ROLE_PUSH_BUTTON,
    pyatspi.ROLE_CHECK_BOX,
    pyatspi.ROLE_PAGE_TAB,
    pyatspi.ROLE_TOGGLE_BUTTON,
    pyatspi.ROLE_RADIO_BUTTON,
}


def find_app(deadline):
    while time.time() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name in ("TidloCleaner", "Tidlo Cleaner"):
                return app
        time.sleep(0.3)
    return None


def walk(node, depth=0, out=None):
    if out is None:
        out = []
    if node is None or depth > 60:
        return out
    try:
        role = node.getRole()
        name = node.name or ""
        showing = node.getState().contains(pyatspi.STATE_SHOWING)
    except Exception:
        return out
    out.append((role, name, showing, node.getRoleName()))
    try:
        count = node.childCount
    except Exception:
        count = 0
    for i in range(count):
        try:
            walk(node.getChildAtIndex(i), depth + 1, out)
        except Exception:
            pass
    return out


def showing_nodes(app, role, name):
    """The accessible objects of this role and name that are on screen."""
    return showing_nodes_where(app, role, lambda text: text == name)


def wait_for(what, test, seconds=10):
    deadline = time.time() + seconds
    while time.time() < deadline:
        result = test()
        if result:
            return result
        time.sleep(0.3)
    print("walk: timed out waiting for %s" % what)
    return None


def press(node):
    """Invokes the object's press action, as a screen reader does."""
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i).lower() == "press":
            action.doAction(i)
            return True
    print("walk: %s offers no press action" % node.name)
    return False


def enabled(node):
    state = node.getState()
    return state.contains(pyatspi.STATE_ENABLED) and state.contains(pyatspi.STATE_SENSITIVE)


def one_button(app, name):
    nodes = wait_for("the button " + name,
                     lambda: showing_nodes(app, pyatspi.ROLE_PUSH_BUTTON, name))
    return nodes[0] if nodes else None


def press_checks(app):
    move = one_button(app, "Move to Trash")
    if move is None or not enabled(move):
        print("walk: Move to Trash missing or not enabled with items selected")
        return False
    if not press(move):
        return False
    # The confirmation's title and its Cancel appear.
    if not wait_for("the confirmation",
                    lambda: showing_nodes(app, pyatspi.ROLE_STATIC, "Confirm cleanup")
                    or showing_nodes(app, pyatspi.ROLE_LABEL, "Confirm cleanup")):
        return False
    cancel = one_button(app, "Cancel")
    if cancel is None or not press(cancel):
        return False
    if not wait_for("the confirmation to close",
                    lambda: not showing_nodes(app, pyatspi.ROLE_STATIC, "Confirm cleanup")
                    and not showing_nodes(app, pyatspi.ROLE_LABEL, "Confirm cleanup")):
        return False
    none = one_button(app, "Deselect All")
    if none is None or not press(none):
        return False
    if not wait_for("the selection to empty",
                    lambda: showing_nodes(app, pyatspi.ROLE_STATIC, "Selected 0 items")
                    or showing_nodes(app, pyatspi.ROLE_LABEL, "Selected 0 items")):
        return False
    move = one_button(app, "Move to Trash")
    if move is None or enabled(move):
        print("walk: a disabled Move to Trash is reported enabled")
        return False
    # Pressing it now opens nothing.
    press(move)
    time.sleep(1)
    if showing_nodes(app, pyatspi.ROLE_STATIC, "Confirm cleanup") or showing_nodes(
            app, pyatspi.ROLE_LABEL, "Confirm cleanup"):
        print("walk: a disabled Move to Trash opened the confirmation")
        return False
    # A row's check box: one press ticks it (once, not twice).
    boxes = wait_for("the check box FooCache",
                     lambda: showing_nodes(app, pyatspi.ROLE_CHECK_BOX, "FooCache"))
    if not boxes or not press(boxes[0]):
        return False
    if not wait_for("one item selected",
                    lambda: showing_nodes(app, pyatspi.ROLE_STATIC, "Selected 1 item")
                    or showing_nodes(app, pyatspi.ROLE_LABEL, "Selected 1 item")):
        return False
    move = one_button(app, "Move to Trash")
    if move is None or not enabled(move):
        print("walk: Move to Trash not reported enabled again")
        return False
    print("walk: press checks passed")
    return True


def showing_text(app, text):
    return showing_nodes(app, pyatspi.ROLE_STATIC, text) or showing_nodes(
        app, pyatspi.ROLE_LABEL, text)


def open_tab(app, tab_name):
    """Presses the page tab named tab_name; whether it was found and pressed."""
    tabs = wait_for("the page tab " + tab_name,
                    lambda: showing_nodes(app, pyatspi.ROLE_PAGE_TAB, tab_name))
    return bool(tabs) and press(tabs[0])


def page_checks(app, pages):
    for page in pages:
        tab_name, *texts = page.split("::")
        if not open_tab(app, tab_name):
            return False
        for text in texts:
            if not wait_for("the words '%s' on the page %s" % (text, tab_name),
                            lambda: showing_text(app, text)):
                return False
        print("walk: page %s reads %s" % (tab_name, " / ".join(texts)))
    return True


def showing_cells(app, name):
    """The storage map's folder cells on screen named name and a size."""
    return showing_nodes_where(app, pyatspi.ROLE_PUSH_BUTTON,
                               lambda text: text.startswith(name + " "))


def showing_nodes_where(app, role, test):
    found = []

    def visit(node, depth):
        if node is None or depth > 60:
            return
        try:
            if (node.getRole() == role and test(node.name)
                    and node.getState().contains(pyatspi.STATE_SHOWING)):
                found.append(node)
            count = node.childCount
        except Exception:
            return
        for i in range(count):
            try:
                visit(node.getChildAtIndex(i), depth + 1)
            except Exception:
                pass

    visit(app, 0)
    return found


def map_checks(app, cells):
    """On the Storage Map, the folder's cell is read with its size and
    pressed, and the map then shows its child's cell."""
    folder, child = cells.split("::")
    if not open_tab(app, "Storage Map"):
        return False
    cells = wait_for("the map cell " + folder, lambda: showing_cells(app, folder), 20)
    if not cells or not press(cells[0]):
        return False
    if not wait_for("the map cell " + child, lambda: showing_cells(app, child), 20):
        return False
    print("walk: map cell %s pressed, %s shown" % (cells[0].name, child))
    return True


def other_button(app, name, first):
    """The showing button named name that is not at first's place: the
    confirmation's button of the same name as the one that opened it."""
    where = first.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)

    def find():
        for node in showing_nodes(app, pyatspi.ROLE_PUSH_BUTTON, name):
            box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            if (box.x, box.y) != (where.x, where.y):
                return node
        return None
    return wait_for("the confirmation's " + name, find)


def press_and_confirm(app, name):
    """Presses the one showing button named name, then its confirmation's
    button of the same name; whether both were found and pressed."""
    first = one_button(app, name)
    if first is None or not press(first):
        return False
    accept = other_button(app, name, first)
    return accept is not None and press(accept)


def put_back_checks(app, item):
    name, rel = item.split("::")
    path = os.path.join(os.environ["HOME"], rel)
    if not open_tab(app, "Clean"):
        return False
    if not press_and_confirm(app, "Move to Trash"):
        return False
    if not wait_for(rel + " to leave", lambda: not os.path.exists(path)):
        return False
    if not open_tab(app, "History"):
        return False
    lines = wait_for("the clean-up's line",
                     lambda: showing_nodes_where(app, pyatspi.ROLE_PUSH_BUTTON,
                                                 lambda text: ", 1 item, " in text))
    if not lines or not press(lines[0]):
        return False
    if not wait_for("the item " + name, lambda: showing_text(app, name)):
        return False
    if not press_and_confirm(app, "Put Back"):
        return False
    if not wait_for(rel + " to come back", lambda: os.path.exists(path)):
        return False
    if not wait_for("the item to read Put back", lambda: showing_text(app, "Put back")):
        return False
    print("walk: %s moved to the Trash and put back from the History page" % name)
    return True


def main():
    args = sys.argv[1:]
    options = ("--page", "--map", "--put-back")
    pages = [args[i + 1] for i, a in enumerate(args) if a == "--page" and i + 1 < len(args)]
    maps = [args[i + 1] for i, a in enumerate(args) if a == "--map" and i + 1 < len(args)]
    put_backs = [args[i + 1] for i, a in enumerate(args)
                 if a == "--put-back" and i + 1 < len(args)]
    skip = {i + 1 for i, a in enumerate(args) if a in options}
    pressing = "--press" in args
    wanted = [a for i, a in enumerate(args)
              if a not in ("--press",) + options and i not in skip]
    deadline = time.time() + 40
    app = find_app(deadline)
    if app is None:
        print("walk: the application never appeared on the accessibility bus")
        return 1
    missing = wanted
    nodes = []
    while time.time() < deadline:
        nodes = walk(app)
        names = {n for _, n, _, _ in nodes}
        missing = [w for w in wanted if w not in names]
        if not missing:
            break
        time.sleep(0.5)
    unnamed = [n for r, n, showing, _ in nodes if r in PRESSABLE and showing and not n.strip()]
    for role, name, showing, role_name in nodes:
        if role in PRESSABLE or role in (pyatspi.ROLE_LABEL, pyatspi.ROLE_STATIC):
            print("%-12s %s%s" % (role_name, name, "" if showing else "  (hidden)"))
    ok = True
    if missing:
        print("walk: not found by name: %s" % ", ".join(missing))
        ok = False
    if unnamed:
        print("walk: %d pressable controls without a name" % len(unnamed))
        ok = False
    if ok and pressing:
        ok = press_checks(app)
    if ok and pages:
        ok = page_checks(app, pages)
    for pair in maps:
        ok = ok and map_checks(app, pair)
    for item in put_backs:
        ok = ok and put_back_checks(app, item)
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
