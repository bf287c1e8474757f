"""Times whole-process work on real fonts, side by side: tavrel's load+save
round trip against a plain read-and-write-back program (the I/O floor) and
against fontTools' full decompile and recompile; tavrel decoding every glyph
against FreeType loading every glyph unscaled and unhinted.

Every figure is the median of several runs. The runs of all programs are
interleaved (round after round) so that a burst of load on the machine hits
every program alike instead of one of them. Prints the figures, the ratios
and whether each goal is met; --markdown also writes them as tables.
"""
import argparse
import json
import os
import platform
import re
import statistics
import sys
import tempfile
import time

FONT_DIR = "/usr/share/fonts/truetype"
FONTS = [
    ("LiberationSans", FONT_DIR + "/liberation2/LiberationSans-Regular.ttf"),
    ("DejaVuSans", FONT_DIR + "/dejavu/DejaVuSans.ttf"),
    ("DroidSansFallbackFull", FONT_DIR + "/droid/DroidSansFallbackFull.ttf"),
    ("HanaMinA", FONT_DIR + "/hanazono/HanaMinA.ttf"),
    ("HanaMinB", FONT_DIR + "/hanazono/HanaMinB.ttf"),
]
PYTHON = "/usr/bin/python3"
HERE = os.path.dirname(os.path.abspath(__file__))

# Goals, as ratios.
FLOOR_GOAL = 2.0  # round trip time / floor time, at most
FONTTOOLS_GOAL = 100.0  # fontTools time / tavrel round trip time, at least
MEMORY_GOAL = 3.0  # extra resident memory of a load / file size, below


class Run:
    def __init__(self, wall, cpu, output):
        self.wall = wall
        self.cpu = cpu
        self.output = output


def run_once(argv, workdir):
    """Runs argv once with stdout and stderr in files; returns a Run."""
    out_path = os.path.join(workdir, "stdout.txt")
    err_path = os.path.join(workdir, "stderr.txt")
    actions = [
        (os.POSIX_SPAWN_OPEN, 0, "/dev/null", os.O_RDONLY, 0),
        (os.POSIX_SPAWN_OPEN, 1, out_path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644),
        (os.POSIX_SPAWN_OPEN, 2, err_path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644),
    ]
    start = time.perf_counter()
    pid = os.posix_spawn(argv[0], argv, os.environ, file_actions=actions)
    _, status, usage = os.wait4(pid, 0)
    wall = time.perf_counter() - start
    with open(out_path) as f:
        output = f.read()
    if os.waitstatus_to_exitcode(status) != 0:
        with open(err_path) as f:
            err = f.read()
        raise RuntimeError("%s failed (%d): %s%s" % (" ".join(argv), os.waitstatus_to_exitcode(status), output, err))
    return Run(wall, usage.ru_utime + usage.ru_stime, output)


def counts(output):
    """The key=value numbers a program printed, as a dict."""
    return {k: int(v) for k, v in re.findall(r"(\w+)=(-?\d+)", output)}


def median(values):
    return statistics.median(values) if values else float("nan")


def machine():
    cpu = platform.processor() or "unknown"
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                if line.startswith("model name"):
                    cpu = line.split(":", 1)[1].strip()
                    break
    except OSError:
        pass
    mem = "unknown"
    try:
        with open("/proc/meminfo") as f:
            for line in f:
                if line.startswith("MemTotal"):
                    mem = "%.1f GiB" % (int(line.split()[1]) / 1024 / 1024)
                    break
    except OSError:
        pass
    load = os.getloadavg()
    return "%s: nproc %d, %s, memory %s, load average %.2f %.2f %.2f" % (
        time.strftime("%Y-%m-%d %H:%M:%S"), os.cpu_count(), cpu, mem, load[0], load[1], load[2])


def ms(seconds):
    return "%.1f ms" % (seconds * 1000) if seconds < 10 else "%.2f s" % seconds


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--bin", required=True, help="folder with io_floor, freetype_glyphs, tavrel_fontcli")
    ap.add_argument("--runs", type=int, default=9, help="timed runs of each fast program")
    ap.add_argument("--fonttools-runs", type=int, default=3, help="timed runs of fontTools (0: leave it out)")
    ap.add_argument("--fonts", help="comma-separated subset of: " + ",".join(n for n, _ in FONTS))
    ap.add_argument("--markdown", help="also write the figures as markdown tables to this file")
    ap.add_argument("--json", help="also write every median and ratio as JSON to this file")
    ap.add_argument("--check", action="store_true",
                    help="exit 1 when tavrel and FreeType decode different contour or point totals")
    args = ap.parse_args()

    fonts = FONTS
    if args.fonts:
        wanted = args.fonts.split(",")
        fonts = [f for f in FONTS if f[0] in wanted]
        unknown = set(wanted) - {n for n, _ in fonts}
        if unknown:
            sys.exit("unknown fonts: " + ", ".join(sorted(unknown)))
    missing = [p for _, p in fonts if not os.path.exists(p)]
    if missing:
        sys.exit("missing fonts (run scripts/setup.sh): " + ", ".join(missing))

    def tool(name):
        path = os.path.join(os.path.abspath(args.bin), name)
        if not os.access(path, os.X_OK):
            sys.exit("missing %s (build with -DTAVREL_BENCH=ON)" % path)
        return path

    floor, fontcli, freetype = tool("io_floor"), tool("tavrel_fontcli"), tool("freetype_glyphs")
    fonttools = os.path.join(HERE, "fonttools_roundtrip.py")

    started = machine()
    print(started)
    print("medians of %d runs (fontTools: %d), runs interleaved; ratios from these medians\n"
          % (args.runs, args.fonttools_runs))

    rows = []
    # Written fonts go to memory (tmpfs) where there is one, so that the
    # disk's write-back does not disturb the timings.
    shm = "/dev/shm" if os.access("/dev/shm", os.W_OK) else None
    with tempfile.TemporaryDirectory(prefix="tavrel-compare-", dir=shm) as work:
        out = os.path.join(work, "out.ttf")
        idle = [fontcli, "idle"]
        for name, path in fonts:
            programs = {
                "floor": ([floor, path, out], args.runs),
                "roundtrip": ([fontcli, "roundtrip", path, out], args.runs),
                "fonttools": ([PYTHON, fonttools, path, out], args.fonttools_runs),
                "freetype": ([freetype, path], args.runs),
                "decode": ([fontcli, "glyphs", path], args.runs),
                "load": ([fontcli, "load", path], args.runs),
                "idle": (idle, args.runs),
            }
            if args.fonttools_runs <= 0:
                del programs["fonttools"]
            runs = {k: [] for k in programs}
            # One untimed warm-up round puts the font in the page cache.
            for key, (argv, _) in programs.items():
                if key != "fonttools":
                    run_once(argv, work)
            for round_no in range(max(args.runs, args.fonttools_runs)):
                for key, (argv, count) in programs.items():
                    if round_no >= count:
                        continue
                    if os.path.exists(out):
                        os.unlink(out)
                    runs[key].append(run_once(argv, work))
                    print(".", end="", flush=True)
            print()

            t = {k: median([r.wall for r in v]) for k, v in runs.items()}
            cpu = {k: median([r.cpu for r in v]) for k, v in runs.items()}
            # The driver reports its own high-water mark (see fontcli.cpp).
            rss = {k: median([counts(r.output).get("peak_rss_kb", -1) for r in runs[k]]) for k in ("load", "idle")}
            size = os.path.getsize(path)
            ft, tv = counts(runs["freetype"][0].output), counts(runs["decode"][0].output)
            row = {
                "font": name,
                "size": size,
                "glyphs": tv.get("glyphs", -1),
                "t": t,
                "cpu": cpu,
                "rss": rss,
                "floor_ratio": t["roundtrip"] / t["floor"],
                "fonttools_ratio": t["fonttools"] / t["roundtrip"] if "fonttools" in t else float("nan"),
                "freetype_ratio": t["decode"] / t["freetype"],
                # Resident memory the load added over the same program idle.
                "mem_ratio": max(rss["load"] - rss["idle"], 0) * 1024 / size,
                "points": (tv.get("points", -1), ft.get("points", -1)),
                "contours": (tv.get("contours", -1), ft.get("contours", -1)),
            }
            rows.append(row)
            report_font(row)

    report_goals(rows)
    differ = [r["font"] for r in rows if r["points"][0] != r["points"][1] or r["contours"][0] != r["contours"][1]]
    if args.markdown:
        with open(args.markdown, "w") as f:
            f.write(markdown(rows))
        print("\nmarkdown tables written to " + args.markdown)
    if args.json:
        with open(args.json, "w") as f:
            json.dump({"machine": started, "finished": time.strftime("%H:%M:%S"), "rows": rows}, f, indent=1)
    if args.check and differ:
        sys.exit("decoded totals differ from FreeType's for: " + ", ".join(differ))


def report_font(r):
    t, cpu, rss = r["t"], r["cpu"], r["rss"]
    print("%s: %.1f KiB, %d glyphs                 wall       cpu" % (r["font"], r["size"] / 1024, r["glyphs"]))
    lines = [
        ("I/O floor (read + write back)", "floor", ""),
        ("tavrel load + save", "roundtrip", "%.2fx the floor" % r["floor_ratio"]),
        ("fontTools decompile + compile", "fonttools", "%.0fx tavrel's round trip" % r["fonttools_ratio"]),
        ("FreeType every glyph", "freetype", ""),
        ("tavrel load + every glyph", "decode", "%.2fx FreeType" % r["freetype_ratio"]),
        ("tavrel load only", "load", "peak RSS %d KiB, idle %d KiB: %.2fx the file size"
         % (rss["load"], rss["idle"], r["mem_ratio"])),
        ("tavrel idle (start and exit)", "idle", ""),
    ]
    for label, key, note in lines:
        if key not in t:
            continue
        print("  %-31s %10s %9s   %s" % (label, ms(t[key]), ms(cpu[key]), note))
    (tp, fp), (tc, fc) = r["points"], r["contours"]
    if (tp, tc) != (fp, fc):
        print("  note: decoded totals differ: tavrel %d contours %d points, FreeType %d contours %d points"
              % (tc, tp, fc, fp))
    print()


def verdict(ok):
    return "met" if ok else "MISSED"


def report_goals(rows):
    print("goals (worst font):")
    worst = max(rows, key=lambda r: r["floor_ratio"])
    print("  round trip within %.0fx the floor: %s (%.2fx, %s)" % (FLOOR_GOAL, verdict(worst["floor_ratio"] <= FLOOR_GOAL), worst["floor_ratio"], worst["font"]))
    worst = min(rows, key=lambda r: r["fonttools_ratio"])
    if worst["fonttools_ratio"] == worst["fonttools_ratio"]:  # not NaN
        print("  round trip %.0fx faster than fontTools: %s (%.0fx, %s)" % (FONTTOOLS_GOAL, verdict(worst["fonttools_ratio"] >= FONTTOOLS_GOAL), worst["fonttools_ratio"], worst["font"]))
    worst = max(rows, key=lambda r: r["freetype_ratio"])
    # The decoding goal compares decoding with decoding, both fonts open, which
    # run.sh measures in process; here tavrel's process also loads the whole
    # font, so the figure is shown without a verdict.
    print("  load + every glyph against FreeType's open + every glyph (decoding alone: run.sh): %.2fx, %s" % (worst["freetype_ratio"], worst["font"]))
    worst = max(rows, key=lambda r: r["mem_ratio"])
    print("  load's extra resident memory under %.0fx the file: %s (%.2fx, %s)" % (MEMORY_GOAL, verdict(worst["mem_ratio"] < MEMORY_GOAL), worst["mem_ratio"], worst["font"]))


def markdown(rows):
    lines = [
        "| font | size | glyphs | I/O floor | tavrel round trip | ÷ floor | fontTools | ÷ tavrel | FreeType all glyphs | tavrel all glyphs | ÷ FreeType | load RSS over idle ÷ size |",
        "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|",
    ]
    for r in rows:
        t = r["t"]
        lines.append("| %s | %.0f KiB | %d | %s | %s | %.2f | %s | %.0f | %s | %s | %.2f | %.2f |" % (
            r["font"], r["size"] / 1024, r["glyphs"], ms(t["floor"]), ms(t["roundtrip"]), r["floor_ratio"],
            ms(t["fonttools"]) if "fonttools" in t else "-", r["fonttools_ratio"], ms(t["freetype"]), ms(t["decode"]), r["freetype_ratio"],
            r["mem_ratio"]))
    lines += [
        "",
        "CPU time (user + system) of the same runs, medians:",
        "",
        "| font | I/O floor | tavrel round trip | ÷ floor | fontTools | FreeType all glyphs | tavrel all glyphs | ÷ FreeType | tavrel load | tavrel idle |",
        "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|",
    ]
    for r in rows:
        c = r["cpu"]
        lines.append("| %s | %s | %s | %.2f | %s | %s | %s | %.2f | %s | %s |" % (
            r["font"], ms(c["floor"]), ms(c["roundtrip"]), c["roundtrip"] / c["floor"],
            ms(c["fonttools"]) if "fonttools" in c else "-", ms(c["freetype"]), ms(c["decode"]),
            c["decode"] / c["freetype"], ms(c["load"]), ms(c["idle"])))
    return "\n".join(lines) + "\n"


if __name__ == "__main__":
    main()
