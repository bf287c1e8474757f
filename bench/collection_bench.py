#!/usr/bin/python3
"""Times a face's round trip through a collection against the I/O floor.

collection_bench.py BIN [--collection PATH] [--face N] [--runs N]

BIN holds io_floor and tavrel_fontcli (a build with -DTAVREL_BENCH=ON).
Without --collection, a collection of two faces is built with fontTools
(tests/tools/build_collection.py): HanaMinA, and HanaMinA again under
another family name, so that the faces share every table but name
(21.7 MiB, as a CJK collection whose faces share their outlines).

Each program runs RUNS times (default 9) as a whole process, the programs
interleaved round after round: io_floor reads the collection and writes
it out; tavrel_fontcli reads the directory, loads the face and writes the
collection with it, once as loaded (every table but head, whose dates a
save stamps, stays shared) and once with the first point of the first
glyph with an outline moved (the face gets a glyf of its own, so the file
grows by that table). Prints the median wall and CPU time of each, its
ratio to the floor and the size written.
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
HANAMIN_A = "/usr/share/fonts/truetype/hanazono/HanaMinA.ttf"


def timed(command):
    start = time.perf_counter()
    child = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    wall = time.perf_counter() - start
    if status != 0:
        sys.exit("failed: %s" % " ".join(command))
    return wall, usage.ru_utime + usage.ru_stime


def build_default(folder):
    path = os.path.join(folder, "hana2.ttc")
    subprocess.check_call([sys.executable, os.path.join(HERE, "..", "tests", "tools",
                                                        "build_collection.py"), path,
                           HANAMIN_A, HANAMIN_A + "=Hana Copy"])
    return path


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("bin")
    parser.add_argument("--collection")
    parser.add_argument("--face", default="0")
    parser.add_argument("--runs", type=int, default=9)
    args = parser.parse_args()
    # Written files go to tmpfs when there is one, so the disk takes no part.
    folder = tempfile.mkdtemp(dir="/dev/shm" if os.path.isdir("/dev/shm") else None)
    collection = args.collection or build_default(folder)
    fontcli = os.path.join(args.bin, "tavrel_fontcli")
    cases = [
        ("I/O floor", [os.path.join(args.bin, "io_floor"), collection]),
        ("face as loaded", [fontcli, "face", collection, args.face]),
        ("a glyph moved", [fontcli, "face", collection, args.face]),
    ]
    outputs = []
    for i, (_, command) in enumerate(cases):
        out = os.path.join(folder, "out%d.ttc" % i)
        command.append(out)
        outputs.append(out)
    cases[2][1].append("moved")
    samples = [[] for _ in cases]
    for command in (c[1] for c in cases):
        timed(command)  # the file into the page cache, the program loaded
    for _ in range(args.runs):
        for i, (_, command) in enumerate(cases):
            samples[i].append(timed(command))
    print("%s: %.1f MiB, face %s, medians of %d runs" %
          (os.path.basename(collection), os.path.getsize(collection) / 2**20, args.face, args.runs))
    floor = None
    for i, (name, _) in enumerate(cases):
        wall = statistics.median(s[0] for s in samples[i])
        cpu = statistics.median(s[1] for s in samples[i])
        if floor is None:
            floor = (wall, cpu)
        print("%-15s %8.1f ms wall %8.1f ms cpu   %.2fx (cpu %.2fx) the floor   wrote %.1f MiB" %
              (name, wall * 1e3, cpu * 1e3, wall / floor[0], cpu / floor[1],
               os.path.getsize(outputs[i]) / 2**20))


if __name__ == "__main__":
    main()
