#!/usr/bin/env python3
"""Plays a list of songs the way the music player does: when a song starts, its lyric file
appears in the lyric-cache folder.

Each song is one argument (or one line of --songs-file):
  "Artist - Title"        writes  Artist - Title(Live).krc
  "dash:Artist - Title"   writes  Artist - Title-<8 hex digits>.krc
  "raw:Some name.krc"     writes  the name exactly as given (e.g. one without the title markers)

Names are written as UTF-8 on the Unix side; under a zh_CN.UTF-8 locale Wine hands them to the
program as code page 936. Names and contents are derived from the song only, so a run is
deterministic apart from its timing. For every file written, one JSON line goes to stdout with the
file's path and the wall-clock time it was complete (for latency measurements).
"""
import argparse
import hashlib
import json
import os
import sys
import time


def lyric_file_name(song: str) -> str:
    if song.startswith("raw:"):
        return song[4:]
    if song.startswith("dash:"):
        base = song[5:]
        digest = hashlib.sha1(base.encode("utf-8")).hexdigest()[:8]
        return f"{base}-{digest}.krc"
    return f"{song}(Live).krc"


def lyric_content(name: str) -> bytes:
    # A small header and a few bytes that depend on the name: stands in for the player's
    # encrypted lyric data, which the program never reads.
    return b"krc1" + hashlib.sha256(name.encode("utf-8")).digest()


def write_lyric_file(folder: str, song: str) -> str:
    name = lyric_file_name(song)
    if not name or "/" in name or name in (".", ".."):
        raise ValueError(f"not a file name: {name!r}")
    path = os.path.join(folder, name)
    # Written beside the folder and renamed into it, so the program never sees a half-written
    # file (and never deletes the temporary one while it is being written).
    parent = os.path.dirname(os.path.abspath(folder))
    temp = os.path.join(parent, f".player_sim.{os.getpid()}.part")
    with open(temp, "wb") as f:
        f.write(lyric_content(name))
    os.replace(temp, path)
    return path


def main(argv=None) -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("folder", help="the lyric-cache folder (Unix path)")
    parser.add_argument("songs", nargs="*", help="songs to play, in order")
    parser.add_argument("--songs-file", help="file with one song per line")
    parser.add_argument("--interval", type=float, default=3.0,
                        help="seconds between two songs (default 3)")
    parser.add_argument("--start-delay", type=float, default=0.0,
                        help="seconds to wait before the first song")
    args = parser.parse_intermixed_args(argv)

    songs = list(args.songs)
    if args.songs_file:
        with open(args.songs_file, encoding="utf-8") as f:
            songs += [line.rstrip("\n") for line in f if line.strip()]
    if not songs:
        parser.error("no songs given")
    if not os.path.isdir(args.folder):
        parser.error(f"no such folder: {args.folder}")

    time.sleep(args.start_delay)
    for i, song in enumerate(songs):
        if i:
            time.sleep(args.interval)
        try:
            path = write_lyric_file(args.folder, song)
        except ValueError as e:
            parser.error(str(e))
        print(json.dumps({"song": song, "file": path, "written": time.time()},
                         ensure_ascii=False), flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
