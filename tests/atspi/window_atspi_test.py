#!/usr/bin/python3
"""The real program window as a screen reader meets it: every check goes over
the AT-SPI bus (pyatspi), the way an assistive-technology client asks.

Run inside a private D-Bus session (run_atspi_test.sh starts it); the test
starts its own X display. Argument: the program to start. Exits 0 when every
check passed. KIVO_ATSPI_WRAPPER (for example "valgrind") runs the program
under that command, with longer waits for its start.
"""

import math
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import urllib.parse
import uuid
import wave

import pyatspi

# Bounded waits: every wait polls and gives up after this many seconds.
TIMEOUT = 30
POLL = 0.1
WRAPPER = os.environ.get("KIVO_ATSPI_WRAPPER", "")
START_TIMEOUT = 600 if WRAPPER else 60


class CheckFailed(Exception):
    pass


def wait_for(what, condition, timeout=TIMEOUT):
    deadline = time.monotonic() + timeout
    problem = None
    while True:
        try:
            result = condition()
            if result:
                return result
        except CheckFailed:
            raise
        except Exception as error:  # an object that went away while asked
            problem = error
        if time.monotonic() >= deadline:
            raise CheckFailed(
                "gave up waiting for " + what + (f" (last error: {problem})" if problem else "")
            )
        time.sleep(POLL)


def write_tone(path, seconds):
    """A quiet mono 8 kHz tone, enough to play and to seek in."""
    rate = 8000
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(rate)
        frames = bytearray()
        for i in range(int(seconds * rate)):
            frames += struct.pack("<h", int(800 * math.sin(2 * math.pi * 440 * i / rate)))
        out.writeframes(bytes(frames))


def seed_library(data_folder, music_folder):
    """Two songs in the library's own store, as the program writes it."""
    os.makedirs(data_folder, exist_ok=True)
    os.makedirs(music_folder, exist_ok=True)
    songs = []
    for title, artist in (("Aria", "Zeta"), ("Bolero", "Alpha")):
        path = os.path.join(music_folder, title + ".wav")
        write_tone(path, 40)
        songs.append(
            '{"id":"%s","fileURL":"file://%s","filename":"%s.wav","title":"%s",'
            '"duration":40,"artist":"%s","rating":0}'
            % (str(uuid.uuid4()).upper(), urllib.parse.quote(path), title, title, artist)
        )
    with open(os.path.join(data_folder, "tracks.json"), "w") as out:
        out.write("[" + ",".join(songs) + "]")


# --- the accessible tree ---------------------------------------------------


def states(node):
    return node.getState()


def showing(node):
    return states(node).contains(pyatspi.STATE_SHOWING)


def walk(node, depth=0):
    if node is None or depth > 60:
        return
    yield node
    for i in range(node.childCount):
        try:
            child = node.getChildAtIndex(i)
        except Exception:
            continue
        yield from walk(child, depth + 1)


def find_all(root, role=None, name=None, only_showing=True):
    found = []
    for node in walk(root):
        try:
            if role is not None and node.getRole() != role:
                continue
            if name is not None and node.name != name:
                continue
            if only_showing and not showing(node):
                continue
        except Exception:
            continue
        found.append(node)
    return found


def find(root, role, name, only_showing=True):
    matches = find_all(root, role, name, only_showing)
    return matches[0] if matches else None


def wait_for_node(root, role, name, timeout=TIMEOUT):
    return wait_for(f"a {role} named {name!r}", lambda: find(root, role, name), timeout)


def do_action(node, wanted=None):
    """Runs the node's action named `wanted` (its first one when None)."""
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if not names:
        raise CheckFailed(f"{node.name!r} offers no action")
    if wanted is None:
        return action.doAction(0)
    if wanted not in names:
        raise CheckFailed(f"{node.name!r} has no {wanted!r} action, only {names}")
    return action.doAction(names.index(wanted))


# --- the checks --------------------------------------------------------------


def check_play_pause(app):
    # The first song plays through its row's button; then the player bar's
    # button, pressed as a screen reader does, pauses and resumes it.
    do_action(wait_for_node(app, pyatspi.ROLE_PUSH_BUTTON, "Play Aria"), "Press")
    button = wait_for_node(app, pyatspi.ROLE_PUSH_BUTTON, "Pause")
    do_action(button, "Press")
    wait_for("Play/Pause to pause", lambda: button.name == "Play", 10)
    do_action(button, "Press")
    wait_for("Play/Pause to resume", lambda: button.name == "Pause", 10)
    do_action(button, "Press")
    wait_for("Play/Pause to pause again", lambda: button.name == "Play", 10)


def check_seek_bar(app):
    bar = wait_for_node(app, pyatspi.ROLE_SLIDER, "Playback waveform")
    value = bar.queryValue()
    if not 39 <= value.maximumValue <= 41:
        raise CheckFailed(f"the seek bar spans {value.maximumValue} s, not the 40 s song")
    # Far enough from where it is that playing on could not reach it in the wait.
    start = value.currentValue
    target = start + 15 if start < 20 else start - 15
    value.currentValue = target
    wait_for(f"the seek bar to move to {target:.0f} s", lambda: target - 0.5 <= value.currentValue <= target + 2, 10)
    value.currentValue = -50
    wait_for("the seek bar to stay inside the song", lambda: 0 <= value.currentValue <= 2, 10)


def check_sort_state(app):
    artist = wait_for_node(app, pyatspi.ROLE_TABLE_COLUMN_HEADER, "Sort by Artist")
    title = find(app, pyatspi.ROLE_TABLE_COLUMN_HEADER, "Sort by Title")
    if artist.description != "Not selected":
        raise CheckFailed(f"an unsorted column reads {artist.description!r}")
    do_action(artist, "Press")
    wait_for("Artist to read Ascending", lambda: artist.description == "Ascending", 10)
    if title is None or title.description != "Not selected":
        raise CheckFailed("the title column does not read 'Not selected' once Artist sorts")
    do_action(artist, "Press")
    wait_for("Artist to read Descending", lambda: artist.description == "Descending", 10)


def check_sidebar(app):
    item = wait_for_node(app, pyatspi.ROLE_LIST_ITEM, "Recently Added")
    songs = find(app, pyatspi.ROLE_LIST_ITEM, "All Songs")
    if not states(item.parent).contains(pyatspi.STATE_FOCUSABLE):
        raise CheckFailed("the sidebar list cannot take the focus")
    if not states(item).contains(pyatspi.STATE_FOCUSABLE):
        raise CheckFailed("a sidebar destination is not focusable")
    if songs is None or not states(songs).contains(pyatspi.STATE_SELECTED):
        raise CheckFailed("the sidebar does not show 'All Songs' as its selection")

    def heading_shows(title):
        return any(
            node.getRole() != pyatspi.ROLE_LIST_ITEM for node in find_all(app, name=title)
        )

    do_action(item)
    wait_for("the content to show 'Recently Added'", lambda: heading_shows("Recently Added"), 10)
    wait_for(
        "'Recently Added' to be the selected destination",
        lambda: states(item).contains(pyatspi.STATE_SELECTED)
        and not states(songs).contains(pyatspi.STATE_SELECTED),
        10,
    )
    do_action(songs)
    wait_for("the content to show 'All Songs' again", lambda: heading_shows("All Songs"), 10)


def unnamed_texts(sheet):
    return [
        node
        for node in find_all(sheet)
        if states(node).contains(pyatspi.STATE_EDITABLE) and not node.name.strip()
    ]


def sheet_holding(app, role, name):
    """The window whose tree holds a showing control of that role and name."""
    for window in [app.getChildAtIndex(i) for i in range(app.childCount)]:
        if window is not None and find(window, role, name):
            return window
    return None


def check_song_editor_names(app):
    # The edit button ends the row, past the right edge of a narrow window.
    edit = wait_for("the row's edit button", lambda: find(app, pyatspi.ROLE_PUSH_BUTTON, "Edit Aria", False))
    do_action(edit, "Press")
    sheet = wait_for("the song editor", lambda: sheet_holding(app, pyatspi.ROLE_PUSH_BUTTON, "Save"))
    unnamed = unnamed_texts(sheet)
    do_action(find(sheet, pyatspi.ROLE_PUSH_BUTTON, "Cancel"), "Press")
    wait_for("the song editor to close", lambda: not sheet_holding(app, pyatspi.ROLE_PUSH_BUTTON, "Save"))
    if unnamed:
        raise CheckFailed(f"{len(unnamed)} editable texts have no name")


def check_shared_editor_names(app):
    # Both songs selected through the table, a row's edit opens the shared editor.
    table = wait_for_node(app, pyatspi.ROLE_TABLE, None)
    grid = table.queryTable()
    if (grid.nRows, grid.nColumns) != (2, 12):
        raise CheckFailed(f"the song table reports {grid.nRows} rows and {grid.nColumns} columns")
    for row in range(2):
        grid.addRowSelection(row)
    wait_for("two selected rows", lambda: list(grid.getSelectedRows()) == [0, 1], 10)
    do_action(find(app, pyatspi.ROLE_PUSH_BUTTON, "Edit Aria", False), "Press")
    close = "Close shared metadata editor"
    sheet = wait_for("the shared editor", lambda: sheet_holding(app, pyatspi.ROLE_PUSH_BUTTON, close))
    unnamed = unnamed_texts(sheet)
    do_action(find(sheet, pyatspi.ROLE_PUSH_BUTTON, close), "Press")
    wait_for("the shared editor to close", lambda: not sheet_holding(app, pyatspi.ROLE_PUSH_BUTTON, close))
    if unnamed:
        raise CheckFailed(f"{len(unnamed)} editable texts have no name")


def check_plain_descriptions(app):
    marked = [
        f"{node.name!r}: {node.description!r}"
        for node in find_all(app, only_showing=False)
        if "<" in node.description and ">" in node.description
    ]
    if marked:
        raise CheckFailed("descriptions carry markup: " + "; ".join(marked[:5]))


# --- the keyboard and what a screen reader hears --------------------------
# Real key presses (xdotool, on the program's own display) and the AT-SPI
# events a screen reader gets for them.


def program_display(app):
    with open(f"/proc/{app.get_process_id()}/environ", "rb") as environ:
        for entry in environ.read().split(b"\0"):
            if entry.startswith(b"DISPLAY="):
                return entry[len("DISPLAY="):].decode()
    raise CheckFailed("the program has no DISPLAY")


def press_keys(app, *keys):
    """Gives the program's visible windows the X focus, then presses `keys`."""
    env = dict(os.environ, DISPLAY=program_display(app))
    windows = subprocess.run(
        ["xdotool", "search", "--onlyvisible", "--pid", str(app.get_process_id())],
        env=env, capture_output=True, text=True,
    ).stdout.split()
    if windows:
        subprocess.run(["xdotool", "windowfocus", "--sync", windows[-1]], env=env, timeout=TIMEOUT)
    for key in keys:
        subprocess.run(["xdotool", "key", "--clearmodifiers", key], env=env, check=True, timeout=TIMEOUT)


class EventLog:
    """The events of `kinds` while it is open, each as (type, source, its name
    then, detail1). Events arrive only while `pump` runs."""

    def __init__(self, *kinds):
        from gi.repository import GLib

        self.context = GLib.MainContext.default()
        self.events = []
        self.kinds = kinds
        pyatspi.Registry.registerEventListener(self._heard, *kinds)
        self.pump(0.5)

    def _heard(self, event):
        try:
            name = event.source.name
        except Exception:
            name = None
        self.events.append((str(event.type), event.source, name, event.detail1))

    def pump(self, seconds):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            while self.context.iteration(False):
                pass
            time.sleep(0.01)

    def wait(self, what, condition, timeout=10):
        return wait_for(what, lambda: (self.pump(0.05), condition())[1], timeout)

    def close(self):
        pyatspi.Registry.deregisterEventListener(self._heard, *self.kinds)


def focused_row(table):
    for i in range(table.childCount):
        row = table.getChildAtIndex(i)
        if row is not None and states(row).contains(pyatspi.STATE_FOCUSED):
            return row
    return None


def check_table_keys_name_the_song(app):
    table = wait_for_node(app, pyatspi.ROLE_TABLE, None)
    grid = table.queryTable()
    if not table.name:
        raise CheckFailed("the song table has no name")
    headers = [grid.getColumnHeader(c) for c in range(grid.nColumns)]
    if any(header is None or not header.name for header in headers):
        raise CheckFailed(f"{sum(h is None for h in headers)} of {len(headers)} column headers are missing")
    press_keys(app)  # the window, active, takes the focus it is given
    table.queryComponent().grabFocus()
    wait_for("the table to take the focus", lambda: states(table).contains(pyatspi.STATE_FOCUSED), 10)
    log = EventLog("object:state-changed:focused", "object:selection-changed", "object:state-changed:selected")
    songs = []
    try:
        for key in ("End", "Home", "Down", "Down"):
            press_keys(app, key)

            def names_the_selection():
                rows = list(grid.getSelectedRows())
                row = focused_row(table)
                return len(rows) == 1 and row is not None and row.name == table.getChildAtIndex(rows[0] + 1).name

            log.wait(f"the focused row after {key} to be the selected song", names_the_selection)
            songs.append(focused_row(table).name)
        log.pump(0.5)
    finally:
        log.close()
    heard = [name for kind, source, name, on in log.events
             if kind.endswith("focused") and on and source.getRole() == pyatspi.ROLE_TABLE_ROW]
    if not set(songs) <= set(heard):
        raise CheckFailed(f"the keys went to {songs}, focus events named {heard}")
    if not any(kind in ("object:selection-changed", "object:state-changed:selected") for kind, *_ in log.events):
        raise CheckFailed("no selection-changed event while the keys moved the selection")


def check_quiet_while_playing(app):
    play = wait_for("the player bar's Play/Pause", lambda: find(app, pyatspi.ROLE_PUSH_BUTTON, "Play") or find(app, pyatspi.ROLE_PUSH_BUTTON, "Pause"))
    if play.name == "Play":
        do_action(play, "Press")
    wait_for("playback", lambda: play.name == "Pause", 10)
    log = EventLog("object:property-change:accessible-name", "object:property-change:accessible-value", "object:value-changed")
    try:
        log.pump(5)
    finally:
        log.close()
        do_action(play, "Press")
    last = {}
    repeated = []
    for kind, source, name, _ in log.events:
        if kind.endswith("accessible-name"):
            if source in last and last[source] == name:
                repeated.append(name)
            last[source] = name
    if repeated:
        raise CheckFailed(f"{len(repeated)} unchanged names set again in 5 s of playback, e.g. {repeated[0]!r}")
    values = max(sum(kind == k for kind, *_ in log.events) for k in ("object:property-change:accessible-value", "object:value-changed"))
    if values > 10:
        raise CheckFailed(f"{values} value changes in 5 s of playback")


def check_new_playlist_field_named(app):
    do_action(wait_for_node(app, pyatspi.ROLE_PUSH_BUTTON, "New Playlist"), "Press")
    sheet = wait_for("the New Playlist sheet", lambda: sheet_holding(app, pyatspi.ROLE_PUSH_BUTTON, "Create"))
    fields = [node for node in find_all(sheet) if states(node).contains(pyatspi.STATE_EDITABLE)]
    names = [node.name for node in fields]
    do_action(find(sheet, pyatspi.ROLE_PUSH_BUTTON, "Cancel"), "Press")
    wait_for("the sheet to close", lambda: not sheet_holding(app, pyatspi.ROLE_PUSH_BUTTON, "Create"))
    if not fields or not all(name.strip() for name in names):
        raise CheckFailed(f"the sheet's fields are named {names}")


def check_slider_keys(app):
    def moves(name, keys_and_expected):
        slider = wait_for_node(app, pyatspi.ROLE_SLIDER, name)
        if not states(slider).contains(pyatspi.STATE_FOCUSABLE):
            raise CheckFailed(f"{name} is not focusable")
        press_keys(app)
        slider.queryComponent().grabFocus()
        wait_for(f"{name} to take the focus", lambda: states(slider).contains(pyatspi.STATE_FOCUSED), 10)
        value = slider.queryValue()
        for key, expected in keys_and_expected:
            before = value.currentValue
            press_keys(app, key)
            want = expected(before, value.maximumValue)
            wait_for(f"{key} to move {name} from {before} to {want}",
                     lambda: abs(value.currentValue - want) <= 0.02 * value.maximumValue + 0.6, 10)

    # Paused, so the position stays where the keys put it; a song change would
    # put it back at the start instead of moving it on.
    moves("Playback waveform", [
        ("Home", lambda v, top: 0),
        ("Right", lambda v, top: v + 5),
        ("Right", lambda v, top: v + 5),
        ("Left", lambda v, top: v - 5),
        ("Page_Up", lambda v, top: v + 30),
        ("End", lambda v, top: top),
    ])
    moves("Volume", [
        ("End", lambda v, top: top),
        ("Left", lambda v, top: v - top / 20),
        ("Page_Down", lambda v, top: v - top / 5),
        ("Home", lambda v, top: 0),
        ("Right", lambda v, top: top / 20),
        ("End", lambda v, top: top),
    ])


CHECKS = [
    check_play_pause,
    check_seek_bar,
    check_sort_state,
    check_sidebar,
    check_song_editor_names,
    check_shared_editor_names,
    check_plain_descriptions,
    check_table_keys_name_the_song,
    check_quiet_while_playing,
    check_new_playlist_field_named,
    check_slider_keys,
]



# --- the keyboard alone, through real X key presses (xdotool) ---------------


def type_keys(app, *keys):
    """Presses `keys` where the X focus is now."""
    subprocess.run(
        ["xdotool", "key", "--delay", "80", *keys],
        env=dict(os.environ, DISPLAY=program_display(app)),
        check=True,
    )


def give_window_the_keys(app):
    """Puts the X input focus on the program's main window, as a window
    manager does for the window the user brings up (the virtual display
    has none)."""
    env = dict(os.environ, DISPLAY=program_display(app))

    def xdotool(*args):
        return subprocess.run(["xdotool", *args], env=env, capture_output=True, text=True).stdout

    windows = xdotool("search", "--onlyvisible", "--pid", str(app.get_process_id()), "--name", "^KIVO VOVID$").split()

    def area(window):
        said = xdotool("getwindowgeometry", "--shell", window)
        fields = dict(line.split("=", 1) for line in said.split() if "=" in line)
        return int(fields.get("WIDTH", 0)) * int(fields.get("HEIGHT", 0))

    if not windows:
        raise CheckFailed("the main window is not on the display")
    xdotool("windowfocus", "--sync", max(windows, key=area))


def focused_node(root):
    """The focused control under `root` (a list's current item also reads
    as focused while the list has not the focus: items are left out)."""
    for node in walk(root):
        try:
            if (
                states(node).contains(pyatspi.STATE_FOCUSED)
                and showing(node)
                and node.getRole() not in (pyatspi.ROLE_LIST_ITEM, pyatspi.ROLE_TABLE_CELL)
            ):
                return node
        except Exception:
            continue
    return None


def tab_to(app, role, name, limit=80):
    """Presses Tab until that control has the focus; returns it."""
    target = wait_for_node(app, role, name)
    for _ in range(limit):
        if states(target).contains(pyatspi.STATE_FOCUSED):
            return target
        type_keys(app, "Tab")
        time.sleep(3 * POLL)  # the focus change crosses the bus
    raise CheckFailed(f"Tab never reached the {role} {name!r}")


def check_first_focus_on_the_table(app):
    # Run first: the window, once active, has its focus in the song table, so
    # the arrows and Space act on the songs at once.
    press_keys(app)
    focus = wait_for("a focused control", lambda: focused_node(app), TIMEOUT)
    if focus.getRole() != pyatspi.ROLE_TABLE:
        raise CheckFailed(f"the window starts with the focus on the {focus.getRoleName()} {focus.name!r}")


def check_space_presses_focused_shuffle(app):
    # Space on a focused button is the button's, not the window's Play/Pause.
    def play_pause_button():
        return find(app, pyatspi.ROLE_PUSH_BUTTON, "Play") or find(app, pyatspi.ROLE_PUSH_BUTTON, "Pause")

    give_window_the_keys(app)
    if play_pause_button() is None:
        do_action(wait_for_node(app, pyatspi.ROLE_PUSH_BUTTON, "Play Aria"), "Press")
    play_pause = wait_for("the Play/Pause button", play_pause_button)
    if play_pause.name == "Play":
        do_action(play_pause, "Press")
    wait_for("playback to go on", lambda: play_pause.name == "Pause", 10)
    shuffle = tab_to(app, pyatspi.ROLE_PUSH_BUTTON, "Shuffle")
    before = shuffle.description
    type_keys(app, "space")
    wait_for("Space to turn shuffle over", lambda: shuffle.description != before, 10)
    time.sleep(1)
    if play_pause.name != "Pause":
        raise CheckFailed("Space on Shuffle paused playback")


def check_return_opens_settings_on_a_control(app):
    tab_to(app, pyatspi.ROLE_PUSH_BUTTON, "Settings")
    type_keys(app, "Return")
    sheet = wait_for(
        "the settings sheet", lambda: sheet_holding(app, pyatspi.ROLE_PUSH_BUTTON, "Close Settings")
    )
    first = wait_for("a focused control in the sheet", lambda: focused_node(sheet))
    said = (first.getRole(), first.getRoleName(), first.name)
    type_keys(app, "Escape")
    wait_for(
        "the settings sheet to close",
        lambda: not sheet_holding(app, pyatspi.ROLE_PUSH_BUTTON, "Close Settings"),
    )
    if said[2] == "Close Settings" or said[0] == pyatspi.ROLE_SCROLL_PANE:
        raise CheckFailed(f"Settings opens on {said[1]} {said[2]!r}")


def check_sheet_opens_on_its_first_field(app):
    grid = wait_for_node(app, pyatspi.ROLE_TABLE, None).queryTable()
    for row in list(grid.getSelectedRows()):
        grid.removeRowSelection(row)
    edit = wait_for("the row's edit button", lambda: find(app, pyatspi.ROLE_PUSH_BUTTON, "Edit Aria", False))
    do_action(edit, "Press")
    sheet = wait_for("the song editor", lambda: sheet_holding(app, pyatspi.ROLE_PUSH_BUTTON, "Save"))
    first = wait_for("a focused control in the editor", lambda: focused_node(sheet))
    said = (states(first).contains(pyatspi.STATE_EDITABLE), first.getRoleName(), first.name)
    type_keys(app, "Escape")
    wait_for("the song editor to close", lambda: not sheet_holding(app, pyatspi.ROLE_PUSH_BUTTON, "Save"))
    if not said[0]:
        raise CheckFailed(f"the editor opens on {said[1]} {said[2]!r}, not a field")


CHECKS.insert(0, check_first_focus_on_the_table)
CHECKS += [
    check_space_presses_focused_shuffle,
    check_return_opens_settings_on_a_control,
    check_sheet_opens_on_its_first_field,
]

def find_application(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        try:
            if app is not None and (app.get_process_id() == pid or WRAPPER):
                return app
        except Exception:
            continue
    return None


def start_display():
    """A virtual display on a number the server picks itself, so that displays
    started at the same moment by other runs never collide."""
    read_end, write_end = os.pipe()
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1400x900x24", "-nolisten", "tcp"],
        pass_fds=[write_end],
        stdout=subprocess.DEVNULL,
        stderr=subprocess.DEVNULL,
    )
    os.close(write_end)
    said = b""
    deadline = time.monotonic() + TIMEOUT
    os.set_blocking(read_end, False)
    while not said.endswith(b"\n") and time.monotonic() < deadline and server.poll() is None:
        try:
            said += os.read(read_end, 16)
        except BlockingIOError:
            time.sleep(POLL)
    os.close(read_end)
    if not said.strip().isdigit():
        server.kill()
        raise CheckFailed("the virtual display did not start")
    return server, ":" + said.strip().decode()


def stop(process):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(20)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def main():
    program = sys.argv[1]
    display_server, display = start_display()
    scratch = tempfile.mkdtemp(prefix="kivo-atspi.")
    home = os.path.join(scratch, "home")
    data_home = os.path.join(scratch, "data")
    seed_library(os.path.join(data_home, "TavrenMediaStudio"), os.path.join(home, "Music"))
    env = dict(os.environ)
    env.update(
        HOME=home,
        XDG_DATA_HOME=data_home,
        XDG_CONFIG_HOME=os.path.join(scratch, "config"),
        DISPLAY=display,
        QT_QPA_PLATFORM="xcb",
        QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
    )
    log = open(os.path.join(scratch, "program.log"), "w")
    process = subprocess.Popen(WRAPPER.split() + [program], env=env, stdout=log, stderr=subprocess.STDOUT)
    failed = []
    try:
        def started():
            if process.poll() is not None:
                raise CheckFailed("the program exited at start-up")
            return find_application(process.pid)

        app = wait_for("the program on the accessibility bus", started, START_TIMEOUT)
        wait_for("the main window", lambda: find(app, pyatspi.ROLE_PUSH_BUTTON, "Play Aria"), START_TIMEOUT)
        for check in CHECKS:
            try:
                check(app)
                print(f"ok: {check.__name__}")
            except Exception as error:
                failed.append(check.__name__)
                print(f"FAILED: {check.__name__}: {error!r}")
            if process.poll() is not None:
                failed.append("program exited")
                break
    except CheckFailed as error:
        failed.append("start")
        print(f"FAILED: {error}")
    finally:
        stop(process)
        stop(display_server)
        log.close()
        if failed:
            with open(os.path.join(scratch, "program.log")) as said:
                print("--- program output ---\n" + said.read()[-4000:])
        shutil.rmtree(scratch, ignore_errors=True)
    if not failed:
        print(f"all {len(CHECKS)} checks passed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
