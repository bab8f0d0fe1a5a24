#!/usr/bin/env python3
"""Measures Tonvia's figures under Wine and writes them into their section of docs/performance.md:

- latency from a lyric file being written to its key text being in the results box (20 songs,
  local site);
- CPU time and memory while idle for a minute with the timer running, and from it the cost of
  one detection tick with an empty folder;
- start-up time until the main window is shown;
- the size of tonvia.exe.

Usage: tools/perf.py [--songs 20] [--idle 60]   (after building tonvia.exe and the driver)
"""
import argparse
import datetime
import os
import platform
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from tonvia_session import BUILD, ROOT, Session, log  # noqa: E402

KEYSITE = os.path.join(ROOT, "tools", "keysite", "keysite.py")
BEGIN = "<!-- tools/perf.py: its figures -->"
END = "<!-- tools/perf.py: end -->"
LIMIT = "120"


def song_title(i):
    return f"测速歌曲{i:02d}"


def make_site_data(folder, count):
    os.makedirs(folder, exist_ok=True)
    for i in range(1, count + 1):
        title = song_title(i)
        with open(os.path.join(folder, f"{title}.html"), "w", encoding="utf-8") as f:
            f.write(f'<html><head><meta charset="utf-8"></head><body>\n'
                    f'<div class="text">《{title}》 原唱：测速 基调：C大调<br/>\n</body></html>\n')


def read_lines(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        return [line.strip() for line in f.read().splitlines() if line.strip()]


def wait_lines(path, count, seconds, proc):
    deadline = time.time() + seconds
    while time.time() < deadline:
        lines = read_lines(path)
        if len(lines) >= count:
            return lines
        if proc.poll() is not None:
            break
        time.sleep(0.05)
    raise RuntimeError(f"the driver gave {read_lines(path)} (wanted {count} lines); see {path}")


def parse_stats(text):
    return {k: float(v) for k, v in (item.split("=") for item in text.split())}


def linux_rss_kb(session):
    """Resident size of the emulated Wine process that runs tonvia.exe, as Linux sees it."""
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                cmdline = f.read()
            with open(f"/proc/{pid}/environ", "rb") as f:
                ours = f"WINEPREFIX={session.prefix}".encode() in f.read()
            if b"tonvia.exe" in cmdline and b"tonvia-driver" not in cmdline and ours:
                with open(f"/proc/{pid}/status") as f:
                    for line in f:
                        if line.startswith("VmRSS:"):
                            return float(line.split()[1])
        except OSError:
            continue
    return None


def measure(args):
    figures = {}
    work = os.path.join(BUILD, "perf")
    with Session(os.path.join(work, "wineprefix"), os.path.join(work, "run")) as s:
        data = os.path.join(s.work, "site-data")
        make_site_data(data, args.songs)
        site = s.start_site([sys.executable, KEYSITE, "--port", "0", "--data", data])
        s.write_settings(drive="E", site=site)
        for name in s.lyric_files():
            os.remove(os.path.join(s.lyric_dir, name))

        # Start-up: the driver is already waiting when the program is started.
        waiter, out = s.driver_background("say", "ready", "wait-visible", "600", "stamp",
                                          name="startup")
        wait_lines(out, 1, 300, waiter)
        started = time.time()
        s.start_app()
        figures["startup_s"] = float(wait_lines(out, 2, 600, waiter)[1]) - started
        waiter.wait()
        log(f"start-up to the window being shown: {figures['startup_s']:.1f} s")
        s.driver("wait-is", "drive", "E", LIMIT, "click", "start", "wait-enabled", "start", "0", LIMIT)

        # Idle: the timer runs, the folder stays empty.
        time.sleep(5)
        before = parse_stats(s.driver("stats", "stamp"))
        t0 = time.time()
        time.sleep(args.idle)
        after_text = s.driver("stats").strip()
        elapsed = time.time() - t0
        after = parse_stats(after_text)
        cpu_ms = after["cpu_ms"] - before["cpu_ms"]
        figures["idle_cpu_percent"] = 100 * cpu_ms / (elapsed * 1000)
        figures["idle_tick_ms"] = cpu_ms / elapsed  # one tick per second
        figures["working_set_mb"] = after["working_set_kb"] / 1024
        figures["peak_working_set_mb"] = after["peak_working_set_kb"] / 1024
        figures["private_mb"] = after["private_kb"] / 1024
        rss = linux_rss_kb(s)
        figures["linux_rss_mb"] = rss / 1024 if rss else None
        log(f"idle: {figures['idle_cpu_percent']:.2f} % CPU, {figures['idle_tick_ms']:.2f} ms per tick, "
            f"working set {figures['working_set_mb']:.1f} MB")

        # Latency: one driver waits for each song's key text in turn and stamps the moment.
        commands = ["say", "ready"]
        for i in range(1, args.songs + 1):
            commands += ["wait-has", "results", f"《{song_title(i)}》", LIMIT, "stamp"]
        watcher, out = s.driver_background(*commands, name="latency")
        wait_lines(out, 1, 300, watcher)
        latencies = []
        for i in range(1, args.songs + 1):
            written = s.play(f"测速 - {song_title(i)}")[0]["written"]
            shown = float(wait_lines(out, 1 + i, float(LIMIT), watcher)[i])
            latencies.append(shown - written)
            log(f"song {i}: {latencies[-1]:.2f} s")
            time.sleep(1.3)  # the next song starts in a later tick
        watcher.wait()
        figures["latency_median_s"] = statistics.median(latencies)
        figures["latency_worst_s"] = max(latencies)
        figures["latencies"] = latencies
    figures["exe_kb"] = os.path.getsize(os.path.join(BUILD, "tonvia.exe")) / 1024
    return figures


def write_report(figures, args, path):
    rss = figures["linux_rss_mb"]
    rss_text = f"{rss:.1f} MB" if rss else "not found"
    date = datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d %H:%M UTC")
    cpu = platform.processor() or platform.machine()
    lines = f"""{BEGIN}
## The program under Wine's 32-bit side

Measured with `python3 tools/perf.py --songs {args.songs} --idle {args.idle}` (after
`cmake --build --preset win32 --target tonvia tonvia-driver`), on {date}, on the build machine:
Debian 12, {os.cpu_count()} cores ({cpu}), shared with other builds at the time, Wine 8.0.

**How these figures were taken.** The build machine's kernel cannot run 32-bit Linux programs,
so Wine's 32-bit side (wineserver, the Wine loader and tonvia.exe itself) runs under qemu
user-mode emulation: every x86 instruction of the program, of Wine's DLLs and of the Wine server
is translated at run time. Programs run many times slower than on a normal Windows machine or a
normal Wine set-up, and cross-process calls (the driver reading the results box) pay the same
cost. The figures below are therefore upper bounds for a normal machine, not estimates of it:
they show the program working and where time goes, and they are comparable from run to run on
this machine. The goals are stated for a normal machine.

| Figure | Measured here | Goal (normal machine) |
|---|---|---|
| Latency, lyric file written to key text in the results box, median of {args.songs} songs | {figures['latency_median_s']:.2f} s | |
| Latency, worst of {args.songs} songs | {figures['latency_worst_s']:.2f} s | at most 1.2 s |
| One detection tick with an empty folder (process CPU time per idle tick) | {figures['idle_tick_ms']:.2f} ms | well under 1 ms |
| CPU while idle for {args.idle} s with the timer on | {figures['idle_cpu_percent']:.2f} % of one core | under 1 % |
| Working set while idle (as Windows reports it) | {figures['working_set_mb']:.1f} MB (peak {figures['peak_working_set_mb']:.1f} MB, private {figures['private_mb']:.1f} MB) | under 20 MB |
| Resident size of the emulated process (Linux, qemu included) | {rss_text} | |
| Start-up until the main window is shown | {figures['startup_s']:.1f} s | |
| Size of tonvia.exe | {figures['exe_kb']:.0f} KiB | |

How each figure is taken:

- Latency: the player simulator writes the lyric file and records the time; one driver process
  polls the results box every 50 ms and stamps the moment it holds the song's key text. A song
  is written 1.3 s after the previous one was shown, so each lands at a random point of the 1 s
  timer period: up to one period of every latency is the wait for the next tick. The site is the
  local key-database site on 127.0.0.1 with one page per song. All latencies (s):
  {', '.join(f'{x:.2f}' for x in figures['latencies'])}.
- Idle tick and CPU: the driver reads the process's CPU time (GetProcessTimes) before and after
  {args.idle} s of running with the timer on and an empty lyric folder; the difference divided by
  the number of ticks is the cost of one tick including the message loop and Wine's own timer
  handling around it, so it bounds the tick's own cost from above.
- Working set: GetProcessMemoryInfo on the program's process after the idle minute.
- Start-up: from starting `wine tonvia.exe` to the driver seeing the main window visible,
  including Wine's own process start-up (the Wine server of the prefix was already running).
{END}"""
    # Only this script's section is replaced; the rest of the file is written by hand.
    old = ""
    if os.path.exists(path):
        with open(path, encoding="utf-8") as f:
            old = f.read()
    if BEGIN in old and END in old:
        text = old[:old.index(BEGIN)] + lines + old[old.index(END) + len(END):]
    else:
        text = (old.rstrip("\n") + "\n\n" if old else "# Performance\n\n") + lines + "\n"
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


def main():
    parser = argparse.ArgumentParser(description="Measures Tonvia's performance figures.")
    parser.add_argument("--songs", type=int, default=20)
    parser.add_argument("--idle", type=int, default=60)
    parser.add_argument("--out", default=os.path.join(ROOT, "docs", "performance.md"))
    args = parser.parse_args()
    for exe in ("tonvia.exe", "tonvia-driver.exe"):
        if not os.path.exists(os.path.join(BUILD, exe)):
            subprocess.run(["cmake", "--build", "--preset", "win32", "--target", "tonvia",
                            "tonvia-driver"], cwd=ROOT, check=True)
    figures = measure(args)
    os.makedirs(os.path.dirname(args.out), exist_ok=True)
    write_report(figures, args, args.out)
    log(f"written {os.path.relpath(args.out, ROOT)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
