"""Reads a running program's tree over the AT-SPI bus, as a screen reader does; import it once the
bus is up."""
import pyatspi


def children(node):
    try:
        return [node.getChildAtIndex(i) for i in range(node.childCount)]
    except Exception:  # the object went away while we walked it
        return []


def application(name):
    """The running program of that name once its tree is on the bus, else None."""
    return next((app for app in children(pyatspi.Registry.getDesktop(0))
                 if app is not None and app.name == name and app.childCount > 0), None)


def find_all(node, role=None, name=None):
    """The nodes of the subtree with that role and name, depth-first."""
    try:
        found = [node] if role in (None, node.getRoleName()) and name in (None, node.name) else []
    except Exception:  # the object went away while we walked it
        return []
    return found + [n for child in children(node) if child is not None for n in find_all(child, role, name)]


def find(root, role=None, name=None):
    return next(iter(find_all(root, role, name)), None)

