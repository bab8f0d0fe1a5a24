#!/usr/bin/env python3
"""End-to-end tests: tonvia.exe under Wine, driven through tonvia-driver.exe, with the player
simulator writing lyric files and the local key-database site answering.

Wine runs under emulation on the test machine, so the program is started only twice and every
wait has a generous limit. Each group is one start of the program; its steps run in order and
depend on each other.

Usage: test_e2e.py --build BUILD_DIR [--site-port PORT]
  --site-port: the port of an already running key-database site (the ctest fixture); without
  it, or when nothing answers there, the test starts a site of its own.
"""
import argparse
import json
import os
import shutil
import sys
import time
import urllib.parse
import urllib.request

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tools"))
import tonvia_session  # noqa: E402
from tonvia_session import Session, log  # noqa: E402

KEYSITE = os.path.join(ROOT, "tools", "keysite", "keysite.py")
WARNING_CAPTION = "重要提示："
WARNING_TEXT = "使用前请务必设置好酷狗盘符！不懂看帮助！"
NOT_FOUND = "貌似什么都木有搜到哦~"
TUTORIAL_TITLE = "设置教程"
# Under emulation a tick can take many seconds; "within two ticks" becomes this limit.
LOOKUP_LIMIT = "60"

failures = []


def check(condition, message):
    if condition:
        log(f"ok: {message}")
    else:
        log(f"FAILED: {message}")
        failures.append(message)
    return condition


def site_requests(base):
    with urllib.request.urlopen(base + "/__log", timeout=10) as answer:
        return json.load(answer)


def requested(base, title):
    """Whether the site was asked for the page of title (the log keeps raw bytes escaped)."""
    wanted = [urllib.parse.quote(title.encode(enc), safe="") for enc in ("gbk", "utf-8")]
    text = json.dumps(site_requests(base), ensure_ascii=False)
    upper = text.upper()
    return title in text or any(w.upper() in upper for w in wanted)


def site_answers(base):
    try:
        site_requests(base)
        return True
    except OSError:
        return False


def wait_for(seconds, condition):
    deadline = time.time() + seconds
    while time.time() < deadline:
        if condition():
            return True
        time.sleep(0.2)
    return condition()


def tree_snapshot(folder, skip):
    """Name, size and modification time of every entry under folder except the skip folder."""
    entries = {}
    for dirpath, dirnames, filenames in os.walk(folder):
        if os.path.abspath(dirpath) == os.path.abspath(skip):
            dirnames[:] = []
            continue
        for name in filenames:
            path = os.path.join(dirpath, name)
            info = os.stat(path)
            entries[path] = (info.st_size, info.st_mtime_ns)
    return entries


def slow_data_folder(work):
    """Pages of two sample songs padded to several kilobytes, so that a trickled answer takes
    many reads."""
    folder = os.path.join(work, "slow-data")
    os.makedirs(folder, exist_ok=True)
    padding = "<!-- " + "慢" * 1500 + " -->\n"
    for title in ("青石巷", "橘子汽水"):
        with open(os.path.join(ROOT, "tools", "keysite", "data", f"{title}.html"), encoding="utf-8") as f:
            page = f.read()
        with open(os.path.join(folder, f"{title}.html"), "w", encoding="utf-8") as f:
            f.write(page.replace("<body>", "<body>\n" + padding, 1))
    return folder


def first_start_and_detection(s):
    """First start without settings, Start, songs known and unknown, a name without markers,
    a slow page during a second song, Stop, and the files outside the lyric folder."""
    s.remove_settings()
    outside = os.path.join(os.path.dirname(s.lyric_dir), "Temp")
    os.makedirs(outside, exist_ok=True)
    with open(os.path.join(outside, "歌手 - 缓存(Live).krc"), "wb") as f:
        f.write(b"not a lyric file of the folder")
    before_start = "旧歌手 - 开始前的歌"
    s.play(before_start)
    outside_before = tree_snapshot(os.path.dirname(os.path.dirname(s.lyric_dir)), s.lyric_dir)

    log("starting tonvia.exe without a settings file")
    s.start_app()
    box_text = s.driver("close-box", WARNING_CAPTION, "240").strip()
    check(box_text == WARNING_TEXT, f"warning box on first start shows {box_text!r}")
    check(s.driver("find", "120", "get", "drive").strip() == "", "the drive-letter field starts empty")
    check(wait_for(30, lambda: os.path.exists(s.settings_path)), "the settings file is created")
    settings = s.read_settings()
    check("[酷狗]" in settings and "酷狗盘符=" in settings and "酷狗盘符=E" not in settings,
          f"it holds an empty drive letter: {settings!r}")

    s.write_settings(drive="", site=s.site_base)
    s.driver("set", "drive", "E")
    check(wait_for(10, lambda: "酷狗盘符=E" in s.read_settings()), "typing E saves it")
    check(f"站点={s.site_base}" in s.read_settings(), "saving keeps the site address")

    s.driver("click", "start", "wait-enabled", "start", "0", "30")
    check(wait_for(30, lambda: s.lyric_files() == []), "Start empties the lyric folder")

    record = s.play("林晚舟 - 青石巷")[0]
    results = s.driver("wait-has", "results", "基调", LOOKUP_LIMIT, "stamp")
    latency = float(results.strip().splitlines()[-1]) - record["written"]
    log(f"key text shown {latency:.1f} s after the lyric file was written")
    check("《青石巷》 原唱：林晚舟 基调：C大调" in results, "the key text of a known song is shown")
    check("\r\n\r\n《青石巷》(Live版)" in results, "a blank line precedes each 《")
    check(s.driver("get", "title").strip() == "青石巷", "the detected title is shown")
    check(s.lyric_files() == [], "the lyric file is deleted")
    check(not requested(s.site_base, "开始前的歌"), "a file written before Start is never looked up")

    s.play("某人 - 无人知晓的歌")
    s.driver("wait-is", "results", NOT_FOUND, LOOKUP_LIMIT)
    check(s.driver("get", "title").strip() == "无人知晓的歌", "an unknown song shows the not-found message")

    s.play("raw:没有分隔的文件名.krc")
    check(wait_for(30, lambda: s.lyric_files() == []), "a name without markers is deleted too")
    check(s.driver("get", "title").strip() == "", "and gives no title")
    check(s.driver("get", "results").strip() == NOT_FOUND, "and leaves the results box as it was")

    slow_page_during_second_song(s)

    s.driver("click", "stop", "wait-enabled", "start", "1", "30")
    s.play("停止后 - 白鸽与灯塔")
    time.sleep(8)
    check(s.lyric_files() == ["停止后 - 白鸽与灯塔(Live).krc"], "after Stop a new file stays in the folder")
    check(not requested(s.site_base, "白鸽与灯塔"), "and is not looked up")

    outside_after = tree_snapshot(os.path.dirname(os.path.dirname(s.lyric_dir)), s.lyric_dir)
    check(outside_after == outside_before, "no file outside the lyric folder was touched")

    s.driver("close")
    check(s.wait_app_exit(120), "closing the main window ends the program")


def slow_page_during_second_song(s):
    """A page trickled slowly while the next song starts: the window keeps answering, both
    songs are looked up and the results box ends with a key text."""
    slow, base = tonvia_session.start_site(
        [sys.executable, KEYSITE, "--port", "0", "--data", slow_data_folder(s.work), "--trickle", "0.1"],
        os.path.join(s.work, "slow-site.log"))
    try:
        s.write_settings(drive="E", site=base)
        s.play("林晚舟 - 青石巷")
        check(wait_for(60, lambda: requested(base, "青石巷")), "the slow page is requested")
        s.play("某人 - 橘子汽水")
        ping_ms = float(s.driver("ping", "10000").strip())
        log(f"the window answered in {ping_ms:.0f} ms during the slow fetch")
        check(ping_ms < 10000, "the window answers during the slow fetch")
        check(wait_for(90, lambda: requested(base, "橘子汽水")),
              "the second song is looked up while the first page is still arriving")
        results = s.driver("wait-has", "results", "基调", LOOKUP_LIMIT)
        check("《" in results, "the results box ends with a key text")
        time.sleep(5)  # let the interrupted fetch finish before the site goes away
    finally:
        tonvia_session.stop_process(slow)
        s.write_settings(drive="E", site=s.site_base)


def second_start_and_windows(s):
    """Second start: no warning, the stored letter; the program ends only when its last window
    is closed."""
    s.write_settings(drive="E", site=s.site_base)
    log("starting tonvia.exe again with a settings file")
    s.start_app()
    s.driver("find", "240", "wait-is", "drive", "E", "120")
    try:
        s.driver("no-box", WARNING_CAPTION)
        check(True, "no warning on a start with a settings file")
    except tonvia_session.DriverError as error:
        check(False, f"no warning on a start with a settings file: {error}")
    s.driver("click", "tutorial", "sleep", "3000")
    s.driver("close", "wait-gone", "60")
    time.sleep(3)
    check(s.app_running(), "with the tutorial window open the program runs on")
    s.driver("close-title", TUTORIAL_TITLE)
    check(s.wait_app_exit(120), "closing the tutorial window as well ends the program")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--site-port", default="")
    args = parser.parse_args()
    tonvia_session.BUILD = os.path.abspath(args.build)
    for exe in ("tonvia.exe", "tonvia-driver.exe"):
        if not os.path.exists(os.path.join(args.build, exe)):
            print(f"missing {exe} in {args.build}")
            return 1

    work = os.path.join(args.build, "e2e")
    shutil.rmtree(os.path.join(work, "run"), ignore_errors=True)
    started = time.time()
    with Session(os.path.join(work, "wineprefix"), os.path.join(work, "run")) as s:
        fixture = f"http://127.0.0.1:{args.site_port}" if args.site_port else None
        if fixture and site_answers(fixture):
            s.use_site(fixture)
            log(f"using the key-database site of the test fixture at {fixture}")
        else:
            log(f"starting a key-database site: {s.start_site([sys.executable, KEYSITE, '--port', '0'])}")
        for group in (first_start_and_detection, second_start_and_windows):
            log(f"== {group.__name__}")
            try:
                group(s)
            except Exception as error:  # a failed step ends its group, not the run
                check(False, f"{group.__name__} stopped: {error}")
                s.stop_app()
    log(f"end-to-end run took {time.time() - started:.0f} s")
    for message in failures:
        log(f"FAILED: {message}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
