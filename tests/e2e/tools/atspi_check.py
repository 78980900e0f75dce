#!/usr/bin/env python3
"""atspi_check.py SECONDS: what a screen reader learns of Quillory's main window, through the
desktop's accessibility bus (AT-SPI). Waits up to SECONDS for the window, then checks that every
button is named, the lists, the page, the boxes and each colour are named, the status bar's numbers
are labelled by their captions, and the menus are there. Prints the tree it read; exits 1 with the
faults found."""

import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

TOOLBAR = [
    "Save Project", "Open Project", "Add Item to Project", "Remove Selected Item from Project", "Rename Item",
    "Copies the current page/item to the clipboard.", "Quick Print", "Bold", "Italic", "Underline", "Strikeout",
    "Left justify", "Centre", "Right justify", "Bullet", "Click here and then on any other item", "Overview",
]
COLOURS = ["Black", "Maroon", "Green", "Olive", "Navy", "Purple", "Teal", "Grey", "Silver", "Red", "Lime",
           "Yellow", "Blue", "Fuchsia", "Aqua", "White"]


def main_window(deadline):
    """The main window once its item list has rows (the start-up fills it after the window shows)."""
    while time.monotonic() < deadline:
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(i)
            if app is None or (app.get_name() or "").lower() != "quillory":
                continue
            for j in range(app.get_child_count()):
                frame = app.get_child_at_index(j)
                if frame is not None and (frame.get_name() or "").startswith("Quillory - ") and any(
                        node.get_role_name() == "list" and node.get_name() == "Items" and node.get_child_count()
                        for node, _ in walk(frame)):
                    return frame
        time.sleep(0.2)
    return None


def walk(node, depth=0):
    yield node, depth
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is not None:
            yield from walk(child, depth + 1)


def labelled_by(node):
    names = []
    for relation in node.get_relation_set() or []:
        if relation.get_relation_type() == Atspi.RelationType.LABELLED_BY:
            for k in range(relation.get_n_targets()):
                names.append(relation.get_target(k).get_name())
    return names


def main():
    frame = main_window(time.monotonic() + float(sys.argv[1]))
    if frame is None:
        print("no Quillory window on the accessibility bus")
        return 1
    nodes = []
    for node, depth in walk(frame):
        role = node.get_role_name()
        name = node.get_name() or ""
        nodes.append((role, name, node))
        labels = labelled_by(node)
        print(f"{'  ' * depth}{role} '{name}'" + (f" labelled by {labels}" if labels else ""))

    faults = []

    def named(role, name):
        return [n for r, nm, n in nodes if r == role and nm == name]

    buttons = [(r, nm) for r, nm, _ in nodes if r in ("push button", "toggle button")]
    faults += [f"a {r} without a name" for r, nm in buttons if not nm.strip()]
    for hint in TOOLBAR:
        if not any(nm.startswith(hint) for _, nm in buttons):
            faults.append(f"no button named '{hint}'")
    # A combo box on Linux is named by its value; its label comes as a relation, as a reader takes it.
    for role, name in (("list", "Items"), ("list", "Recent projects"), ("combo box", "Font name"),
                       ("combo box", "Font size"), ("combo box", "Text colour"), ("status bar", "Status")):
        if not [n for r, nm, n in nodes if r == role and (nm == name or name in labelled_by(n))]:
            faults.append(f"no {role} named '{name}'")
    items = named("list", "Items")
    if items and sorted(c.get_name() for c in (items[0].get_child_at_index(i)
                                               for i in range(items[0].get_child_count())) if c) != \
            ["Alpha", "Beta", "Gamma"]:
        faults.append("the item list's rows are not named by their items")
    pages = [n for r, nm, n in nodes if nm == "Page" and r in ("text", "document text", "paragraph", "entry")]
    if not pages:
        faults.append("no page (text) named 'Page'")
    elif "Ctrl+Tab" not in (pages[0].get_description() or ""):
        faults.append("the page does not say how to leave it")
    colour_names = {nm for r, nm, _ in nodes if r in ("list item", "menu item")}
    faults += [f"no colour named '{c}'" for c in COLOURS if c not in colour_names]
    for caption in ("Cursor Position:", "Line Count:"):
        if not any(caption in labelled_by(n) for r, nm, n in nodes if r == "label"):
            faults.append(f"no field labelled by '{caption}'")
    bars = [n for r, _, n in nodes if r == "menu bar"]
    menus = {bars[0].get_child_at_index(i).get_name() for i in range(bars[0].get_child_count())} if bars else set()
    faults += [f"no menu '{m}'" for m in ("File", "List", "Options", "Content") if m not in menus]

    for fault in faults:
        print("FAULT:", fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
