"""Runs Tonvia under Wine in a prefix of its own and drives it: used by the demo, the end-to-end
tests and the performance script.

A session owns everything it starts (an Xvfb when there is no display to use, the prefix's
wineserver, the program, the key-database site) and stops all of it in close(). Wine's helper
processes inherit open pipes, so every Wine process writes into files, never into a pipe.
"""
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(ROOT, "build", "win32")
TITLE = "Tonvia v2.0 - Velmora"
SETTINGS_SECTION_DRIVE = "酷狗"
SETTINGS_KEY_DRIVE = "酷狗盘符"
SETTINGS_SECTION_SITE = "查询"
SETTINGS_KEY_SITE = "站点"


def log(message):
    print(f"[{time.strftime('%H:%M:%S')}] {message}", flush=True)


def settings_text(drive="E", site=None):
    """The settings file as the program reads it: INI lines in code page 936."""
    lines = [f"[{SETTINGS_SECTION_DRIVE}]", f"{SETTINGS_KEY_DRIVE}={drive}"]
    if site is not None:
        lines += [f"[{SETTINGS_SECTION_SITE}]", f"{SETTINGS_KEY_SITE}={site}"]
    return ("\r\n".join(lines) + "\r\n").encode("gbk")


class DriverError(RuntimeError):
    pass


class Session:
    def __init__(self, prefix, work, virtual_desktop=False, own_display=False):
        """prefix: the Wine prefix to use (made on first use); work: a folder for this session's
        files (lyric folder, logs). virtual_desktop puts the windows inside a Wine desktop window
        with frames, for screenshots; own_display starts an Xvfb even when DISPLAY is set."""
        self.prefix = os.path.abspath(prefix)
        self.work = os.path.abspath(work)
        os.makedirs(self.work, exist_ok=True)
        self.lyric_dir = os.path.join(self.work, "drive_e", "KuGou", "Lyric")
        os.makedirs(self.lyric_dir, exist_ok=True)
        self.xvfb = None
        self.app = None
        self.server = None
        self.site = None
        self.site_base = None
        self.env = dict(os.environ, WINEPREFIX=self.prefix, WINEARCH="win32", WINEDEBUG="-all",
                        LC_ALL="zh_CN.UTF-8", LANG="zh_CN.UTF-8",
                        WINEDLLOVERRIDES="mscoree,mshtml=")
        if own_display or not os.environ.get("DISPLAY"):
            self._start_xvfb()
        self._prepare_prefix(virtual_desktop)
        self._run_logged(["wineserver", "-p"], "wineserver.log")
        self.settings_path = os.path.join(self.prefix, "drive_c", "vazada.ini")

    # ----- display and prefix -------------------------------------------------------------
    def _start_xvfb(self):
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            start_new_session=True)
        os.close(write_end)
        with os.fdopen(read_end) as f:
            number = f.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.env["DISPLAY"] = f":{number}"

    def _prepare_prefix(self, virtual_desktop):
        # Shared with tools/wine-run.sh: a copy of one booted template prefix per machine.
        subprocess.run([os.path.join(ROOT, "tools", "wine-prefix.sh"), self.prefix], env=self.env,
                       check=True, stdin=subprocess.DEVNULL)
        if virtual_desktop:
            self._use_virtual_desktop()
        drive_e = os.path.join(self.prefix, "dosdevices", "e:")
        if os.path.lexists(drive_e):
            os.remove(drive_e)
        os.symlink(os.path.dirname(os.path.dirname(self.lyric_dir)), drive_e)

    def _use_virtual_desktop(self):
        # Every program of this prefix then runs inside one desktop window with frames and
        # captions (X draws none without a window manager), the driver included, so that both
        # share a desktop. The prefix's wineserver is not running yet, so the file can be edited.
        user_reg = os.path.join(self.prefix, "user.reg")
        with open(user_reg, encoding="utf-8", errors="surrogateescape") as f:
            if "Wine\\\\Explorer\\\\Desktops" in f.read():
                return
        stamp = int(time.time())
        with open(user_reg, "a", encoding="utf-8") as f:
            f.write(f'\n[Software\\\\Wine\\\\Explorer] {stamp}\n"Desktop"="Default"\n'
                    f'\n[Software\\\\Wine\\\\Explorer\\\\Desktops] {stamp}\n"Default"="1024x768"\n')

    def _run_logged(self, argv, log_name, timeout=900):
        with open(os.path.join(self.work, log_name), "ab") as out:
            return subprocess.run(argv, env=self.env, stdout=out, stderr=out, stdin=subprocess.DEVNULL,
                                  timeout=timeout).returncode

    # ----- settings and lyric folder ------------------------------------------------------
    def write_settings(self, drive="E", site=None):
        with open(self.settings_path, "wb") as f:
            f.write(settings_text(drive, site if site is not None else self.site_base))

    def remove_settings(self):
        if os.path.isdir(self.settings_path):
            shutil.rmtree(self.settings_path)
        elif os.path.exists(self.settings_path):
            os.remove(self.settings_path)

    def read_settings(self):
        with open(self.settings_path, "rb") as f:
            return f.read().decode("gbk", errors="replace")

    def lyric_files(self):
        return sorted(os.listdir(self.lyric_dir))

    def play(self, *songs, interval=0.0):
        """Writes the songs' lyric files with the player simulator; returns its JSON records."""
        out = subprocess.run([sys.executable, os.path.join(ROOT, "tools", "player_sim.py"),
                              self.lyric_dir, "--interval", str(interval), *songs],
                             capture_output=True, text=True, check=True).stdout
        return [json.loads(line) for line in out.splitlines()]

    # ----- key-database site --------------------------------------------------------------
    def start_site(self, argv):
        """Starts the local key-database site with argv; returns its base address."""
        self.site, self.site_base = start_site(argv, os.path.join(self.work, "site.log"))
        return self.site_base

    def use_site(self, base):
        self.site_base = base

    # ----- the program and the driver -----------------------------------------------------
    def start_app(self, exe=None):
        exe = exe or os.path.join(BUILD, "tonvia.exe")
        out = open(os.path.join(self.work, "tonvia.log"), "ab")
        self.app = subprocess.Popen(["wine", exe], env=self.env, stdout=out, stderr=out,
                                    stdin=subprocess.DEVNULL, cwd=self.work)
        out.close()
        return self.app

    def driver(self, *commands, timeout=600, check=True):
        """Runs the commands in the session's driver process (started on first use and kept,
        since every Wine process start is slow); returns their output text."""
        if self.server is None or self.server.poll() is not None:
            self.server_out = os.path.join(self.work, "driver-serve.out")
            with open(self.server_out, "wb") as out:
                self.server = subprocess.Popen(
                    ["wine", os.path.join(BUILD, "tonvia-driver.exe"), "serve"], env=self.env,
                    stdin=subprocess.PIPE, stdout=out, stderr=out)
            self.server_read = 0
        self.server.stdin.write(("\t".join(commands) + "\n").encode("utf-8"))
        self.server.stdin.flush()
        deadline = time.time() + timeout
        while True:
            with open(self.server_out, "rb") as f:
                f.seek(self.server_read)
                data = f.read()
            done = re.search(rb"^@@done (\d+)\r?\n", data, re.MULTILINE)
            if done:
                break
            if time.time() > deadline or self.server.poll() is not None:
                self.server.kill()
                self.server = None
                raise DriverError(f"driver {' '.join(commands)}: no answer in {timeout} s")
            time.sleep(0.05)
        self.server_read += done.end()
        lines = data[:done.start()].decode("utf-8", errors="replace").splitlines(keepends=True)
        errors = "".join(line for line in lines if line.startswith("tonvia-driver: "))
        text = "".join(line for line in lines if not line.startswith("tonvia-driver: "))
        if check and done.group(1) != b"0":
            raise DriverError(f"driver {' '.join(commands)} -> {done.group(1).decode()}: {errors.strip()}")
        return text

    def driver_background(self, *commands, name="driver-bg"):
        """Starts the driver without waiting; returns (process, path of its output)."""
        out_path = os.path.join(self.work, f"{name}.out")
        with open(out_path, "wb") as out:
            proc = subprocess.Popen(["wine", os.path.join(BUILD, "tonvia-driver.exe"), *commands],
                                    env=self.env, stdout=out, stderr=out, stdin=subprocess.DEVNULL)
        return proc, out_path

    def screenshot(self, path):
        subprocess.run(["import", "-display", self.env["DISPLAY"], "-window", "root", path],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)

    def app_running(self):
        return self.app is not None and self.app.poll() is None

    def wait_app_exit(self, seconds):
        try:
            self.app.wait(timeout=seconds)
            return True
        except subprocess.TimeoutExpired:
            return False

    # ----- shut-down ----------------------------------------------------------------------
    def stop_app(self):
        """Closes the program's windows; when it does not end, ends every Wine process of this
        prefix (the prefix is the session's own) and starts its server again."""
        if not self.app_running():
            return
        try:
            self.driver("close-title", "设置教程", timeout=120, check=False)
            self.driver("close", "wait-gone", "60", timeout=120, check=False)
        except DriverError:
            pass
        if not self.wait_app_exit(30):
            subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=120)
            self.app.wait(timeout=60)
            self._run_logged(["wineserver", "-p"], "wineserver.log")

    def close(self):
        """Stops everything this session started: the program, the prefix's wineserver (with
        the Wine helpers of this prefix only), the site and the Xvfb."""
        self.stop_app()
        if self.server is not None:
            self.server.stdin.close()
            try:
                self.server.wait(timeout=60)
            except subprocess.TimeoutExpired:
                self.server.kill()
            self.server = None
        subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=120)
        stop_process(self.site)
        stop_process(self.xvfb)
        self.site = self.xvfb = None

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


def start_site(argv, out_path):
    """Starts a key-database site (keysite.py with argv), which prints the address it listens
    on; returns (process, base address). Stop it with stop_process."""
    with open(out_path, "wb") as out:
        proc = subprocess.Popen(argv, stdout=out, stderr=subprocess.STDOUT,
                                stdin=subprocess.DEVNULL, start_new_session=True)
    deadline = time.time() + 30
    while time.time() < deadline:
        with open(out_path, encoding="utf-8", errors="replace") as f:
            found = re.search(r"http://127\.0\.0\.1:\d+", f.read())
        if found:
            return proc, found.group(0)
        if proc.poll() is not None:
            break
        time.sleep(0.1)
    stop_process(proc)
    raise RuntimeError(f"the key-database site did not start; see {out_path}")


def stop_process(proc):
    """Stops a process started in a session of its own, with everything it started."""
    if proc is None or proc.poll() is not None:
        return
    os.killpg(proc.pid, signal.SIGTERM)
    try:
        proc.wait(timeout=10)
    except subprocess.TimeoutExpired:
        os.killpg(proc.pid, signal.SIGKILL)
        proc.wait()
