#!/usr/bin/python3
"""Times `tavrel --check FONT` against `ots-sanitize FONT OUT` as whole
processes on the benchmark fonts, the two interleaved round after round,
and prints the medians (wall and CPU) with the goals: a complete check of
HanaMinB under 1 s, and under 2x ots-sanitize's time on each font.

  bench/check_compare.py --tavrel build/src/app/tavrel [--runs 9] [--fonts HanaMinB,...]
"""
import argparse
import os
import shutil
import statistics
import sys
import tempfile
import time

FONTS = [
    ("LiberationSans", "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf"),
    ("DejaVuSans", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"),
    ("DroidSansFallbackFull", "/usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf"),
    ("HanaMinA", "/usr/share/fonts/truetype/hanazono/HanaMinA.ttf"),
    ("HanaMinB", "/usr/share/fonts/truetype/hanazono/HanaMinB.ttf"),
]


def run_once(argv, ok_codes):
    """Wall and CPU seconds of one run, output to /dev/null."""
    actions = [(os.POSIX_SPAWN_OPEN, fd, "/dev/null", os.O_RDWR, 0) for fd in (0, 1, 2)]
    start = time.perf_counter()
    pid = os.posix_spawn(argv[0], argv, os.environ, file_actions=actions)
    _, status, usage = os.wait4(pid, 0)
    wall = time.perf_counter() - start
    code = os.waitstatus_to_exitcode(status)
    if code not in ok_codes:
        raise RuntimeError("%s exited with %d" % (" ".join(argv), code))
    return wall, usage.ru_utime + usage.ru_stime


def ms(s):
    return "%.0f ms" % (s * 1000) if s >= 0.1 else "%.1f ms" % (s * 1000)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--tavrel", required=True)
    ap.add_argument("--runs", type=int, default=9)
    ap.add_argument("--fonts", help="comma-separated subset of: " + ",".join(n for n, _ in FONTS))
    args = ap.parse_args()
    fonts = FONTS
    if args.fonts:
        fonts = [f for f in FONTS if f[0] in args.fonts.split(",")]
    ots = shutil.which("ots-sanitize")
    if not ots:
        sys.exit("ots-sanitize is missing (run scripts/setup.sh)")
    # The sanitizer's output goes to memory where there is some.
    out_dir = "/dev/shm" if os.path.isdir("/dev/shm") else tempfile.gettempdir()
    out = os.path.join(out_dir, "check-compare-%d.ttf" % os.getpid())
    print("load average at start: %s" % " ".join(open("/proc/loadavg").read().split()[:3]))
    print()
    print("| font | tavrel --check wall | cpu | ots-sanitize wall | cpu | wall ratio | cpu ratio |")
    print("|---|---:|---:|---:|---:|---:|---:|")
    verdicts = []
    for name, path in fonts:
        t, o = [], []
        for _ in range(args.runs):
            # 0: no error, 1: errors found; both are a complete check.
            t.append(run_once([args.tavrel, "--check", path], (0, 1)))
            o.append(run_once([ots, path, out], (0, 1)))
        tw, tc = statistics.median(w for w, _ in t), statistics.median(c for _, c in t)
        ow, oc = statistics.median(w for w, _ in o), statistics.median(c for _, c in o)
        print("| %s | %s | %s | %s | %s | %.2f | %.2f |" %
              (name, ms(tw), ms(tc), ms(ow), ms(oc), tw / ow, tc / oc))
        verdicts.append((name, tw, tw / ow))
    if os.path.exists(out):
        os.remove(out)
    print()
    for name, wall, ratio in verdicts:
        goals = ["%.2fx ots-sanitize (goal under 2x): %s" % (ratio, "met" if ratio < 2 else "MISSED")]
        if name == "HanaMinB":
            goals.append("%s (goal under 1 s): %s" % (ms(wall), "met" if wall < 1 else "MISSED"))
        print("%s: %s" % (name, "; ".join(goals)))


if __name__ == "__main__":
    main()
