#!/usr/bin/python3
"""What the Orca screen reader speaks while a user calculates with ソラニカ
on the keyboard: `screen_reader_speaks.py PROGRAM`.

Runs inside tests/with_atspi.sh --wm (an X server with openbox, a private
session bus and the accessibility bus). Orca runs without a speech server
and writes each utterance to its debug log as "SPEECH OUTPUT: '...'"; each
step sends real key events (xdotool) and waits, up to a timeout, until what
Orca spoke since the step began holds every expected text. Exits with 1 and
prints what was spoken when a step does not hear what it expects, or when
something it needs is missing."""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

TIMEOUT = 20
HERE = os.path.dirname(os.path.abspath(__file__))


def fail(message):
    print(f"screen_reader_speaks: {message}", file=sys.stderr)
    sys.exit(1)


class Speech:
    """The utterances in Orca's debug log, read as they are written."""

    def __init__(self, path):
        self.path = path
        self.offset = 0
        self.spoken = []

    def wait_for_log(self, text):
        deadline = time.monotonic() + TIMEOUT
        while not self.lines(text):
            if time.monotonic() > deadline:
                fail(f"Orca's log never said {text!r}")
            time.sleep(0.05)

    def read(self):
        if not os.path.exists(self.path):
            return
        with open(self.path, encoding="utf-8", errors="replace") as log:
            log.seek(self.offset)
            text = log.read()
        # Only whole lines: the rest is read again next time.
        end = text.rfind("\n") + 1
        self.offset += len(text[:end].encode("utf-8", errors="replace"))
        self.spoken += re.findall(r"SPEECH OUTPUT: '(.*)'\s*(?:\{[^{}]*\})?$", text[:end], re.M)

    def lines(self, pattern):
        if not os.path.exists(self.path):
            return []
        with open(self.path, encoding="utf-8", errors="replace") as log:
            return [line for line in log if pattern in line]

    def expect(self, step, texts, action=None):
        """Runs the action, then waits until Orca has spoken every text."""
        self.read()
        self.spoken = []
        if action is not None:
            action()
        deadline = time.monotonic() + TIMEOUT
        while True:
            self.read()
            heard = " | ".join(self.spoken)
            missing = [t for t in texts if t not in heard]
            if not missing:
                print(f"ok   {step}: {heard}")
                return
            if time.monotonic() > deadline:
                fail(f"{step}: did not hear {missing}; heard: {heard!r}")
            time.sleep(0.05)


def keys(*names):
    return lambda: subprocess.run(["xdotool", "key", "--delay", "60", *names], check=True)


def typed(text):
    return lambda: subprocess.run(["xdotool", "type", "--delay", "60", text], check=True)


def main():
    if len(sys.argv) != 2:
        fail("usage: screen_reader_speaks.py PROGRAM")
    program = sys.argv[1]
    for tool in ("orca", "xdotool", "gsettings"):
        if shutil.which(tool) is None:
            fail(f"{tool} is not installed (scripts/install-deps.sh test)")
    for variable in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "XDG_CONFIG_HOME"):
        if not os.environ.get(variable):
            fail(f"{variable} is not set: run through tests/with_atspi.sh --wm")

    home = tempfile.mkdtemp(prefix="soranika-orca-")
    env = dict(os.environ)
    # As a desktop that a screen reader user has set up: the toolkits offer
    # their accessibility on the bus.
    subprocess.run(["gsettings", "set", "org.gnome.desktop.interface",
                    "toolkit-accessibility", "true"], env=env, check=True)
    log = os.path.join(home, "orca.log")
    speech = Speech(log)
    orca = None
    processes = []
    orca_output = open(os.path.join(home, "orca.out"), "w")
    try:
        orca = subprocess.Popen(
            ["/usr/bin/python3", os.path.join(HERE, "run_orca.py"), log,
             "-u", os.path.join(home, "orca"), "-d", "speech", "-d", "braille",
             "-d", "main-window", "-d", "splash-window"],
            env=env, stdout=orca_output, stderr=subprocess.STDOUT)
        speech.wait_for_log("ORCA: Starting registry")
        result = subprocess.run(
            ["gsettings", "get", "org.gnome.desktop.interface", "toolkit-accessibility"],
            env=env, capture_output=True, text=True)
        if result.stdout.strip() != "true":
            fail(f"toolkit-accessibility is not on: {result.stdout!r} {result.stderr!r}")

        # The program finds the accessibility on as any program of the desktop.
        program_env = dict(env, QT_QPA_PLATFORM="xcb")
        program_env.pop("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", None)
        speech.expect("first focus", ["時給"],
                      lambda: processes.append(subprocess.Popen([program], env=program_env)))
        speech.expect("wage typed", ["0"], typed("700"))
        speech.expect("Tab to 週", ["週"], keys("Tab"))
        speech.expect("days typed", ["5"], typed("5"))
        speech.expect("Tab to the start", ["時から"], keys("Tab"))
        speech.expect("start typed", ["9"], typed("9"))
        speech.expect("Tab to the end", ["時まで"], keys("Tab"))
        speech.expect("end typed", ["7"], typed("17"))
        speech.expect("Tab to 詳細設定", ["詳細設定"], keys("Tab"))
        speech.expect("Tab to 計算", ["計算"], keys("Tab"))
        speech.expect("計算 gives the pay", ["5600", "28000", "112000"], keys("space"))
        # Back to 週 (Shift+Tab four times), 6 days: above 40 hours a week.
        speech.expect("back to 週", ["週"], keys("shift+Tab", "shift+Tab", "shift+Tab",
                                                "shift+Tab"))
        speech.expect("6 days", ["6"], keys("ctrl+a", "6"))
        speech.expect("計算 gives the caution", ["40時間以上", "労働基準法第32条"],
                      keys("Return"))
        # The wage emptied: a message box, answered with Enter.
        speech.expect("back to 時給", ["時給"], keys("shift+Tab"))
        speech.expect("wage emptied", ["backspace"], keys("ctrl+a", "BackSpace"))
        speech.expect("計算 gives the message", ["未入力です"], keys("Return"))
        speech.expect("message answered", ["時給"], keys("Return"))
        # The weekly schedule: 9 to 17 on Sunday, confirmed; the message,
        # then 計算 with the weekly total.
        speech.expect("wage typed again", ["0"], typed("700"))
        speech.expect("Tab to 詳細設定", ["詳細設定"], keys(*["Tab"] * 4))
        speech.expect("the schedule opens", ["日曜日 時から"], keys("space"))
        speech.expect("Sunday's start typed", ["9"], typed("9"))
        speech.expect("Tab to Sunday's end", ["日曜日 時まで"], keys("Tab"))
        speech.expect("Sunday's end typed", ["7"], typed("17"))
        speech.expect("Tab to 入力完了", ["入力完了"], keys(*["Tab"] * 13))
        speech.expect("入力完了 gives the message", ["勤務時間等が空白になりましたが"], keys("space"))
        speech.expect("message answered", ["ソラニカ"], keys("Return"))
        speech.expect("Tab to 計算 again", ["計算 push button"], keys("Tab"))
        speech.expect("計算 gives the pay of the schedule", ["*****", "5600", "22400"],
                      keys("space"))
    finally:
        for process in processes + [orca]:
            if process is not None and process.poll() is None:
                process.terminate()
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()
        orca_output.close()
        if orca is not None and orca.returncode not in (0, None, -15):
            with open(orca_output.name) as output:
                print(f"Orca ended with {orca.returncode}:\n{output.read()}", file=sys.stderr)
        if os.environ.get("SORANIKA_ORCA_LOG") and os.path.exists(log):
            shutil.copy(log, os.environ["SORANIKA_ORCA_LOG"])
        shutil.rmtree(home, ignore_errors=True)


if __name__ == "__main__":
    main()
