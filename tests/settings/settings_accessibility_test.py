"""The settings window as a screen reader meets it: every pane's texts and controls are on the
AT-SPI bus with role, name, value and state, and the controls can be operated from there."""

import json
import os
import sys
import tempfile

from atspi_helpers import Program, do_action, dump, find, find_all, states, text_of, wait_for

host = sys.argv[1]
scratch = tempfile.TemporaryDirectory()
prefs = os.path.join(scratch.name, "prefs.json")
env = dict(os.environ, LC_ALL="de_DE.UTF-8", LANG="de_DE.UTF-8")


def stored(key):
    """The value the window wrote to the preference file, or None while it has not."""
    try:
        with open(prefs) as f:
            return json.load(f).get(key)
    except (OSError, ValueError):
        return None


def check(condition, message, root):
    if not condition:
        raise AssertionError(message + "\n" + "\n".join(dump(root)))


def named(root, role, name):
    return wait_for(lambda: find(root, role, name), what="%s '%s'" % (role, name))


with Program([host, "--prefs", prefs], "tarnlet-settings-host", env=env) as program:
    app = program.app
    window = named(app, "frame", "Tarnlet Einstellungen")

    rows = [n.name for n in find_all(window, "list item")]
    check(rows == ["Allgemein", "Notch", "Benachrichtigungen", "GitHub Actions", "Pull Requests", "Docker",
                   "GitHub-Konto", "Updates"], "sidebar rows: %s" % rows, window)
    check("selected" in states(named(window, "list item", "Allgemein")), "Allgemein not selected", window)
    named(window, "text", "Einstellungen durchsuchen")
    named(window, "heading", "Allgemein")
    named(window, "label", "Darstellung")

    # General pane: the picker is a named group of radio buttons, the switch a check box.
    picker = named(window, "panel", "Erscheinungsbild")
    check([n.name for n in find_all(picker, "radio button")] == ["System", "Hell", "Dunkel"], "segments", window)
    do_action(named(picker, "radio button", "Dunkel"))
    wait_for(lambda: stored("app.appearance") == "dark", what="appearance stored")
    launch = named(window, "check box", "Einstellungen beim Start anzeigen")
    check("checked" in states(launch), "launch switch should be on", window)
    do_action(launch)
    wait_for(lambda: stored("app.showSettingsOnLaunch") is False, what="launch switch stored")
    wait_for(lambda: "checked" not in states(launch), what="launch switch off")

    # Notifications pane: the slider speaks its value in seconds and moves on the grid.
    do_action(named(window, "list item", "Benachrichtigungen"))
    named(window, "heading", "Benachrichtigungen")
    wait_for(lambda: "selected" in states(named(window, "list item", "Benachrichtigungen")), what="row selected")
    slider = named(window, "slider", "Anzeigedauer")
    value = slider.queryValue()
    check(value.currentValue == 3.5 and value.minimumValue == 1.0 and value.maximumValue == 10.0,
          "slider value", window)
    check(slider.description == "3,5 Sekunden", "slider text '%s'" % slider.description, window)
    named(window, "label", "3,5 s")
    value.currentValue = 6.2
    wait_for(lambda: stored("notch.flashDuration") == 6.0, what="duration on the grid")
    named(window, "label", "6,0 s")
    named(window, "label", "Kurz")
    named(window, "label", "Lang")

    # Notch pane: the preview is one image with its description.
    do_action(named(window, "list item", "Notch"))
    named(window, "image", "Vorschau der Notch: Deploy in staging, läuft seit 42 Sekunden")
    named(window, "check box", "Bei Hover aufklappen")

    # Docker pane: status text and the module switch through the registry.
    do_action(named(window, "list item", "Docker"))
    named(window, "label", "Keine Daten")
    active = named(window, "check box", "Modul aktiv")
    do_action(active)
    wait_for(lambda: stored("disabledModuleIDs") == ["docker"], what="module switched off")

    # The module's lines: a container's command is a named button, a run that opens its page a link.
    named(window, "push button", "web stoppen")
    do_action(named(window, "list item", "GitHub Actions"))
    named(window, "link", "CI, main · erfolgreich · vor 5 Min.")
    named(window, "push button", "octo/one entfernen")
    named(window, "text", "Eintrag hinzufügen")

    # Account pane: a token typed into the password field never reaches the bus, and is gone
    # from the field once saved.
    do_action(named(window, "list item", "GitHub-Konto"))
    token = named(window, "password text", "Persönlicher Zugriffstoken")
    token.queryEditableText().insertText(0, "ghp_secret", 10)
    wait_for(lambda: token.queryText().characterCount > 0, what="token typed")
    check("ghp" not in (text_of(token) or ""), "password field exposes its text", window)
    do_action(named(window, "push button", "Speichern"))
    named(window, "label", "Wird geprüft …")
    wait_for(lambda: token.queryText().characterCount == 0, what="field emptied")

    # Updates pane: a push button that can be pressed.
    do_action(named(window, "list item", "Updates"))
    named(window, "push button", "Jetzt nach Updates suchen")
    named(window, "check box", "Automatisch nach Updates suchen")

print("settings accessibility ok")
