"""Helpers for tests that read and operate a running program over the AT-SPI bus, as a screen
reader does. Run under with-atspi.sh (which provides the private bus) with /usr/bin/python3."""

import os
import signal
import subprocess

import pyatspi

from xdesktop import wait_for  # noqa: F401 (part of this module's interface)


def children(node):
    try:
        return [node.getChildAtIndex(i) for i in range(node.childCount)]
    except Exception:  # the object went away while we walked it
        return []


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
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if not names:
        raise AssertionError("%s '%s' offers no action" % (role(node), node.name))
    index = names.index(name) if name is not None else 0
    return action.doAction(index)


def text_of(node):
    try:
        text = node.queryText()
        return text.getText(0, text.characterCount)
    except NotImplementedError:
        return None


def dump(root, depth=0):
    """The subtree as indented lines, for failure messages."""
    lines = []
    for child in [root]:
        try:
            line = "  " * depth + "%s '%s'" % (role(child), child.name)
            desc = child.description
            if desc:
                line += " desc='%s'" % desc
            lines.append(line)
        except Exception:
            return lines
        for grandchild in children(child):
            if grandchild is not None:
                lines.extend(dump(grandchild, depth + 1))
    return lines


class Program:
    """A program started for the test and found on the accessibility bus by its application
    name; stopped by its pid when the block ends."""

    def __init__(self, argv, app_name, timeout=30.0, env=None):
        self.argv = argv
        self.app_name = app_name
        self.timeout = timeout
        self.env = env
        self.process = None
        self.app = None

    def __enter__(self):
        self.process = subprocess.Popen(self.argv, env=self.env)
        desktop = pyatspi.Registry.getDesktop(0)

        def application():
            if self.process.poll() is not None:
                raise AssertionError("%s exited early with %s" % (self.argv[0], self.process.returncode))
            for app in children(desktop):
                if app is not None and app.name == self.app_name and app.childCount > 0:
                    return app
            return None

        self.app = wait_for(application, self.timeout, what="application " + self.app_name)
        return self

    def __exit__(self, *exc):
        if self.process.poll() is None:
            os.kill(self.process.pid, signal.SIGTERM)
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                os.kill(self.process.pid, signal.SIGKILL)
                self.process.wait()
        return False
