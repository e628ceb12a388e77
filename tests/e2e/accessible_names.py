#!/usr/bin/env python3
"""Lists what a screen reader sees of the running program: one line per
accessible object on screen, indented by depth, with its role, name and the names of the
objects that label it. Exit status 1 when a control of the main window has no
name (neither its own nor a label's)."""
import sys

import pyatspi

CONTROL_ROLES = {
    pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_SPIN_BUTTON,
    pyatspi.ROLE_DIAL, pyatspi.ROLE_SLIDER, pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_TEXT,
}


def labels_of(node):
    names = []
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            names += [relation.getTarget(i).name for i in range(relation.getNTargets())]
    return names


def walk(node, depth, unnamed):
    try:
        role, name = node.getRoleName(), node.name
        showing = node.getState().contains(pyatspi.STATE_SHOWING)
    except Exception:
        return
    if not showing and depth > 0:  # hidden widgets and closed menus are not read
        return
    labels = labels_of(node)
    line = "  " * depth + f"{role}: {name!r}"
    if labels:
        line += f" (labelled by {', '.join(map(repr, labels))})"
    print(line)
    if node.getRole() in CONTROL_ROLES and not name and not any(labels):
        unnamed.append(line.strip())
    for index in range(node.childCount):
        walk(node.getChildAtIndex(index), depth + 1, unnamed)


def main():
    program = sys.argv[1] if len(sys.argv) > 1 else "ORNIKELVARINLAB"
    desktop = pyatspi.Registry.getDesktop(0)
    apps = [desktop.getChildAtIndex(i) for i in range(desktop.childCount)]
    apps = [app for app in apps if app is not None and program.lower() in (app.name or "").lower()]
    if not apps:
        print(f"{program} is not on the accessibility bus", file=sys.stderr)
        return 2
    unnamed = []
    for app in apps:
        walk(app, 0, unnamed)
    for line in unnamed:
        print(f"UNNAMED: {line}", file=sys.stderr)
    return 1 if unnamed else 0


if __name__ == "__main__":
    sys.exit(main())
