#!/usr/bin/env python3
"""The demo's run: tonvia.exe under Wine in build/demo/wineprefix, the local key-database site
with its sample songs, and a short playlist from the player simulator. tools/demo.sh installs
and builds first, then runs this.

After each song it prints the detected title and the results box and saves a screenshot in
build/demo/. Everything it starts is stopped at the end (also on Ctrl-C or an error).
--keep-open leaves the window up until a person closes it.
"""
import argparse
import os
import signal
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from tonvia_session import ROOT, Session, log  # noqa: E402

NOT_FOUND = "貌似什么都木有搜到哦~"
# (song for the player simulator, text the results box shows once it is looked up, or None
# when no lookup is expected)
PLAYLIST = [
    ("林晚舟 - 青石巷", "《青石巷》"),
    ("dash:秦若溪 - 海盐与风", "《海盐与风》"),
    ("许念安 - 晚风 七月", "《晚风 七月》"),
    ("某位歌手 - 无人知晓的歌", NOT_FOUND),
    ("raw:没有分隔标记的文件名.krc", None),
    ("顾北辰 - 星河渡口", "《星河渡口》"),
]
LIMIT = "90"  # seconds; Wine runs under emulation here


def unescape(text):
    """Undoes the driver's escaping of line breaks and backslashes in `state` output."""
    out, i = [], 0
    while i < len(text):
        if text[i] == "\\" and i + 1 < len(text):
            out.append({"r": "\r", "n": "\n"}.get(text[i + 1], text[i + 1]))
            i += 2
        else:
            out.append(text[i])
            i += 1
    return "".join(out)


def wait_and_show(s, number, song, expected):
    """Waits for the song's lookup (one driver run, as every Wine process start is slow here),
    then prints the detected title and the results box and takes a screenshot."""
    commands = (["wait-has", "results", expected, LIMIT] if expected else []) + ["state"]
    output = s.driver(*commands, timeout=float(LIMIT) + 600, check=False)
    state = {}
    for line in output.splitlines():
        name, sep, value = line.partition("=")
        if sep and name in ("title", "results"):
            state[name] = unescape(value)
    print(f"--- song {number}: {song}")
    print(f"    detected title: {state.get('title', '')}")
    print("    results box:")
    for line in state.get("results", "").replace("\r\n", "\n").split("\n"):
        print(f"      {line}")
    shot = os.path.join(ROOT, "build", "demo", f"song-{number}.png")
    s.screenshot(shot)
    print(f"    screenshot: {os.path.relpath(shot, ROOT)}", flush=True)


def run(keep_open):
    demo = os.path.join(ROOT, "build", "demo")
    on_xvfb = not os.environ.get("DISPLAY")
    log("preparing the Wine prefix build/demo/wineprefix"
        + (" (windows inside a Wine desktop on a private Xvfb)" if on_xvfb else f" on {os.environ['DISPLAY']}"))
    started = time.time()
    with Session(os.path.join(demo, "wineprefix"), os.path.join(demo, "run"),
                 virtual_desktop=on_xvfb) as s:
        site = s.start_site([sys.executable, os.path.join(ROOT, "tools", "keysite", "keysite.py"),
                             "--port", "0"])
        log(f"key-database site with the sample songs at {site}")
        s.write_settings(drive="E", site=site)
        log(f"C:\\vazada.ini: drive letter E, site {site}; E:\\KuGou\\Lyric\\ is {s.lyric_dir}")
        for name in s.lyric_files():
            os.remove(os.path.join(s.lyric_dir, name))

        log("starting tonvia.exe")
        t0 = time.time()
        s.start_app()
        s.driver("find", "300", "wait-is", "drive", "E", LIMIT)
        log(f"the main window is up after {time.time() - t0:.0f} s; pressing Start")
        s.driver("click", "start", "wait-enabled", "start", "0", LIMIT)
        s.screenshot(os.path.join(demo, "started.png"))

        for number, (song, expected) in enumerate(PLAYLIST, 1):
            log(f"the player starts song {number}: {song}")
            t0 = time.time()
            s.play(song)
            deadline = time.time() + float(LIMIT)
            while s.lyric_files() and time.time() < deadline:
                time.sleep(0.2)
            wait_and_show(s, number, song, expected)
            log(f"song {number} handled and shown after {time.time() - t0:.1f} s")

        if keep_open:
            log("--keep-open: the window stays up; close it to end the demo "
                f"(lyric folder: {s.lyric_dir}, e.g. tools/player_sim.py \"{s.lyric_dir}\" "
                "\"歌手 - 雨落长亭\")")
            while s.app_running():
                time.sleep(1)
        log("closing the program and stopping the site")
    log(f"demo finished in {time.time() - started:.0f} s; screenshots in build/demo/")


def main():
    parser = argparse.ArgumentParser(description="Runs the Tonvia demo.")
    parser.add_argument("--keep-open", action="store_true",
                        help="leave the window up for a person to use")
    args = parser.parse_args()
    # A terminated demo cleans up like an interrupted one.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(130))
    signal.signal(signal.SIGHUP, lambda *_: sys.exit(130))
    run(args.keep_open)
    return 0


if __name__ == "__main__":
    sys.exit(main())
