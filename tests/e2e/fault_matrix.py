#!/usr/bin/env python3
"""The whole program on a private X display without a tray host, with one fault set up around it:
it must come up, answer a screen reader (the test event opens the overlay, a setting can be
switched), keep what the user had, never print the token, and end with status 0 on "Beenden".
    fault_matrix.py ROW PROGRAM TOKEN_TOOL POINTER_FLOOD
Runs inside with-display.sh, and inside with-keyring.sh for every row but no_keyring_service;
rows that need a session of their own start a private D-Bus session bus here."""

import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

here = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [here, os.path.join(here, "..", "support")]
import xdesktop as x  # noqa: E402
import program_test as p  # noqa: E402

TOKEN = "ghp_faultMatrixToken"
LAUNCH_SWITCH = "Einstellungen beim Start anzeigen"
NOBODY = 65534
# A session bus that activates nothing: no Secret Service turns up on demand.
BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=%s</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
"""


def private_session(scratch):
    """A throw-away home and a session bus without any services, as on a desktop without a
    keyring daemon."""
    for name, folder in (("HOME", "home"), ("XDG_CONFIG_HOME", "config"), ("XDG_DATA_HOME", "data"),
                         ("XDG_RUNTIME_DIR", "run")):
        path = os.path.join(scratch, folder)
        os.makedirs(path, mode=0o700, exist_ok=True)
        os.environ[name] = path
    config = os.path.join(scratch, "bus.conf")
    with open(config, "w") as f:
        f.write(BUS_CONFIG % os.environ["XDG_RUNTIME_DIR"])
    bus = p.start(["dbus-daemon", "--config-file=" + config, "--nofork", "--print-address=1"],
                  stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    os.environ["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()
    os.environ.pop("GNOME_KEYRING_CONTROL", None)


def preferences_path():
    return os.path.join(os.environ["XDG_CONFIG_HOME"], "Tarnlet", "Tarnlet.json")


def write_preferences_bytes(data, mode=0o644):
    path = preferences_path()
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)
    os.chmod(path, mode)
    return path


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def launch(program, scratch):
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
               TARNLET_TEST_API_ROOT="https://127.0.0.1:9")  # nobody listens there
    out, err = os.path.join(scratch, "program.out"), os.path.join(scratch, "program.err")
    process = p.start([program], env=env, stdout=open(out, "w"), stderr=open(err, "w"))
    process.output_files = (out, err)
    return process


def store_token(token_tool):
    subprocess.run([token_tool], input=TOKEN.encode(), check=True, stdout=subprocess.DEVNULL)


def lock_keyring():
    subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.secrets",
                    "/org/freedesktop/secrets", "org.freedesktop.Secret.Service.Lock",
                    "array:objpath:/org/freedesktop/secrets/collection/login"], check=True,
                   stdout=subprocess.DEVNULL)


class Session:
    """The running program as a screen reader meets it."""

    def __init__(self, program, scratch):
        self.a11y = p.start_accessibility_bus()
        self.process = launch(program, scratch)
        print("overlay", x.wait_for(lambda: x.overlay_of(self.process.pid), what="the overlay at the top centre"))
        self.app = x.wait_for(lambda: p.application(self.a11y, "Tarnlet"), what="the program on the a11y bus")

    def find(self, role, name):
        return x.wait_for(lambda: self.a11y.find(self.app, role, name), what="%s '%s'" % (role, name))

    def alive(self):
        p.check(self.process.poll() is None, "the program ended with %s" % self.process.returncode)

    def test_event(self):
        """The test flash opens the overlay: the event loop, the overlay and the window answer."""
        self.alive()
        x.move_away()
        self.a11y.do_action(self.find("push button", "Test-Ereignis anzeigen"))
        x.wait_for(lambda: p.overlay_status(self.a11y, self.app) == (p.TEST_TEXT, True),
                   what="the test flash to open the overlay")

    def switch_launch_window_off(self):
        switch = self.find("check box", LAUNCH_SWITCH)
        p.check("checked" in self.a11y.states(switch), "the launch switch should start on")
        self.a11y.do_action(switch)
        x.wait_for(lambda: "checked" not in self.a11y.states(switch), what="the launch switch off")

    def quit(self):
        self.alive()
        self.a11y.do_action(self.find("push button", "Beenden"))
        p.check(p.wait_for_exit(self.process) == 0, "Beenden did not end with status 0")
        for path in self.process.output_files:
            p.check(TOKEN not in open(path, errors="replace").read(), "the token was printed to " + path)


def unlock_prompt():
    """The keyring's unlock prompt (gnome-keyring's own window), if one is shown."""
    found = x.run("xdotool", "search", "--onlyvisible", "--name", "Unlock", check=False).split()
    return found[0] if found else None


def usage_of(pid):
    """CPU seconds used so far and resident memory in KiB."""
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    ticks = os.sysconf("SC_CLK_TCK")
    with open("/proc/%d/status" % pid) as f:
        rss = next(int(line.split()[1]) for line in f if line.startswith("VmRSS:"))
    return (int(fields[11]) + int(fields[12])) / ticks, rss


def settings_file_row(program, scratch, data, mode):
    """The user's file stays exactly as it was while the program runs and the user switches a
    setting; the switch holds for the session."""
    path = write_preferences_bytes(data, mode)
    session = Session(program, scratch)
    session.test_event()
    session.switch_launch_window_off()
    session.test_event()
    session.quit()
    p.check(os.stat(path).st_mode & 0o777 == mode, "the preference file's mode changed")
    os.chmod(path, 0o600)  # to read it back here
    p.check(read_bytes(path) == data, "the preference file changed")


def row_as_other_user(row, argv):
    """Permissions mean nothing to root: an unreadable or read-only file is only that for another
    user. Runs this row again as nobody, in a folder of its own."""
    scratch = tempfile.mkdtemp(prefix="tarnlet-faults-")
    os.chown(scratch, NOBODY, NOBODY)
    env = dict(os.environ, TARNLET_FAULTS_SCRATCH=scratch)
    try:
        return subprocess.run(["setpriv", "--reuid=%d" % NOBODY, "--regid=%d" % NOBODY, "--clear-groups",
                               sys.executable, "-u", *argv], env=env).returncode
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


def main(row, program, token_tool, flood):
    own_scratch = row == "no_keyring_service"  # the only row outside with-keyring.sh's home
    scratch = os.environ.get("TARNLET_FAULTS_SCRATCH") or (tempfile.mkdtemp(prefix="tarnlet-faults-") if own_scratch
                                                           else os.environ["HOME"])
    try:
        if row in ("no_keyring_service", "settings_unreadable", "settings_read_only"):
            private_session(scratch)
        if row in ("no_network", "keyring_locked"):
            store_token(token_tool)
        if row == "keyring_locked":
            lock_keyring()

        if row == "keyring_locked":
            # Reading the token asks the keyring to unlock itself; the user turns the prompt down.
            # Without a prompter installed the keyring refuses at once and no prompt shows.
            session = Session(program, scratch)
            pid = session.process.pid
            prompt = x.wait_for(lambda: unlock_prompt() or (p.settings_window_of(pid) and "none"),
                                what="the keyring's unlock prompt or the settings window")
            if prompt != "none":
                x.run("xdotool", "windowfocus", "--sync", prompt)
                x.keys("Escape")
                print("unlock prompt turned down")
            session.find("push button", "Test-Ereignis anzeigen")  # the launch went on
            p.check(unlock_prompt() is None, "the keyring asked to be unlocked a second time")
            session.test_event()
            session.quit()
        elif row == "settings_corrupt":
            garbage = b'{"app.showSettingsOnLaunch": true, \x01 cut'
            path = write_preferences_bytes(garbage)
            session = Session(program, scratch)
            session.test_event()
            p.check(read_bytes(path) == garbage, "the unparsable file was touched before any change")
            session.switch_launch_window_off()
            p.check(read_bytes(path + ".corrupt") == garbage, "the old bytes were not kept aside")
            with open(path) as f:
                p.check(json.load(f).get("app.showSettingsOnLaunch") is False, "the change was not stored")
            session.quit()
        elif row == "settings_unreadable":
            settings_file_row(program, scratch, b'{"notch.flashDuration": 5.0}', 0o000)
        elif row == "settings_read_only":
            settings_file_row(program, scratch, b'{"notch.flashDuration": 5.0}', 0o444)
        elif row == "screen_removed_added":
            session = Session(program, scratch)
            session.test_event()
            # While the overlay is open: a smaller mode, the only output switched off (xrandr
            # reports the screen it cannot shrink further; the output is off all the same), and
            # the output back at its first size.
            for command in (["--newmode", "1280x720", "60", "1280", "1300", "1400", "1500", "720", "730", "740", "750"],
                            ["--addmode", "screen", "1280x720"]):
                subprocess.run(["xrandr", *command], check=True)
            for mode in ("1280x720", "off", "1920x1080"):
                if mode == "off":
                    subprocess.run(["xrandr", "--output", "screen", "--off"], stderr=subprocess.DEVNULL)
                    x.wait_for(lambda: not re.search(r"screen connected \d+x\d+", x.run("xrandr")),
                               what="the output off")
                    time.sleep(0.5)  # the program takes the notice meanwhile; it must live through it
                    session.alive()
                    continue
                subprocess.run(["xrandr", "--output", "screen", "--mode", mode, "--fb", mode], check=True)
                size = tuple(int(n) for n in mode.split("x"))
                x.wait_for(lambda: x.screen_size() == size, what="the screen at " + mode)
                print("screen", mode, "overlay", x.wait_for(lambda: x.overlay_of(session.process.pid),
                                                           what="the overlay at the new top centre"))
                session.test_event()
            session.quit()
        elif row == "pointer_flood":
            session = Session(program, scratch)
            session.test_event()
            cpu_before, rss_before = usage_of(session.process.pid)
            width, height = x.screen_size()
            # Half the flood in the middle of the screen, half resting on the overlay's edge.
            for at in ((width // 2, height // 2), (width // 2, 2)):
                result = subprocess.run([flood, "10000", "5", str(at[0]), str(at[1])], check=True,
                                        capture_output=True, text=True)
                print(result.stdout.strip(), "at", at)
            session.alive()
            cpu_after, rss_after = usage_of(session.process.pid)
            print("program cpu %.2f s during the flood, resident %d KiB before, %d KiB after"
                  % (cpu_after - cpu_before, rss_before, rss_after))
            p.check(rss_after - rss_before < 16 * 1024, "resident memory grew by more than 16 MiB")
            session.test_event()
            session.quit()
        else:  # no_network, no_keyring_service, no_token
            session = Session(program, scratch)
            session.test_event()
            time.sleep(1)  # the first polls have failed by now; the program must still answer
            session.test_event()
            session.quit()
    finally:
        p.stop_all()
        if own_scratch:
            shutil.rmtree(scratch, ignore_errors=True)
    print("ok")


ROWS = ("no_network", "no_keyring_service", "keyring_locked", "no_token", "settings_corrupt", "settings_unreadable",
        "settings_read_only", "screen_removed_added", "pointer_flood")

if __name__ == "__main__":
    if len(sys.argv) != 5 or sys.argv[1] not in ROWS:
        sys.exit(__doc__)
    if sys.argv[1] in ("settings_unreadable", "settings_read_only") and os.geteuid() == 0:
        sys.exit(row_as_other_user(sys.argv[1], sys.argv))
    main(*sys.argv[1:])
