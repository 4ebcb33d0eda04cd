"""Walks the accessibility tree of a running TidloCleaner over AT-SPI and
checks that a screen reader finds every control of the page by its visible
name. Usage: walk.py NAME [NAME ...]; each NAME must be the accessible name of
some push button, check box, page tab or text. Also fails when any pressable
control has no name. Prints what it found."""
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


def main():
    wanted = sys.argv[1:]
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
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
