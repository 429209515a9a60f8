"""Helpers for tests that read and operate a running program over the AT-SPI bus, as a screen
reader does; import it with /usr/bin/python3 once the bus is up."""

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


def walk(node):
    """Depth-first over the subtree, the node itself first."""
    yield node
    for child in children(node):
        if child is not None:
            yield from walk(child)


def role(node):
    return node.getRoleName()


def find_all(root, role_name=None, name=None):
    return [n for n in walk(root)
            if (role_name is None or role(n) == role_name) and (name is None or n.name == name)]


def find(root, role_name=None, name=None):
    found = find_all(root, role_name, name)
    return found[0] if found else None


def states(node):
    state_set = node.getState()
    return {pyatspi.stateToString(s) for s in state_set.getStates()}


def value(node):
    return node.queryValue().currentValue


def actions(node):
    action = node.queryAction()
    return [action.getName(i) for i in range(action.nActions)]


def do_action(node, name=None):
    """Runs the named action (or the first one) the way an assistive tool would."""
    names = actions(node)
    if not names:
        raise AssertionError("%s '%s' offers no action" % (role(node), node.name))
    return node.queryAction().doAction(names.index(name) if name is not None else 0)
