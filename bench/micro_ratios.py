"""Reads the JSON report of tavrel_bench and prints, per font, the in-process
ratios (of medians over the repetitions) that the goals are stated in: the round trip against the I/O floor,
decoding every glyph against FreeType, the time to store one glyph and the
peak heap of a load against the file size. With --markdown it also writes
every figure as markdown tables. Exits 1 when a benchmark failed."""
import argparse
import json
import statistics
import sys

GOALS = "round trip <= 2x floor; every glyph <= 1x FreeType; set_glyph < 16 ms; load peak < 3x file"
SET_GLYPH_GOAL_MS = 16.0
FONT_ORDER = ["LiberationSans", "DejaVuSans", "DroidSansFallbackFull", "HanaMinA", "HanaMinB"]
BENCH_ORDER = ["io_floor", "load", "save", "round_trip", "get_glyph_all", "freetype_all", "set_glyph",
               "set_glyph_first", "cmap_get_tbl", "cmap_set_tbl"]


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("report", help="JSON written by tavrel_bench --benchmark_out")
    ap.add_argument("--markdown", help="also write markdown tables to this file")
    args = ap.parse_args()
    with open(args.report) as f:
        report = json.load(f)

    # With --benchmark_repetitions every repetition is its own entry: each
    # figure is the median of them (the aggregates Google Benchmark adds are
    # left out and computed here).
    reals, cpus, extra, failed, benches, fonts = {}, {}, {}, [], [], []
    for b in report["benchmarks"]:
        if b.get("run_type", "iteration") != "iteration":
            continue
        parts = b["name"].split("/")
        bench, font = parts[0], parts[1]
        if b.get("error_occurred"):
            failed.append("%s: %s" % (b["name"], b.get("error_message", "")))
            continue
        scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
        reals.setdefault((bench, font), []).append(b["real_time"] * scale)
        cpus.setdefault((bench, font), []).append(b["cpu_time"] * scale)
        extra[(bench, font)] = b
        if bench not in benches:
            benches.append(bench)
        if font not in fonts:
            fonts.append(font)
    # Random interleaving shuffles the report; tables keep one order.
    def in_order(names, preferred):
        rank = {n: (preferred.index(n) if n in preferred else len(preferred), i) for i, n in enumerate(names)}
        return sorted(names, key=rank.get)

    fonts, benches = in_order(fonts, FONT_ORDER), in_order(benches, BENCH_ORDER)
    real = {k: statistics.median(v) for k, v in reals.items()}
    cpu = {k: statistics.median(v) for k, v in cpus.items()}
    repetitions = max((len(v) for v in reals.values()), default=0)

    def ratio(times, a, b, font):
        if (a, font) in times and (b, font) in times:
            return times[(a, font)] / times[(b, font)]
        return None

    def fmt(v, form="%.2f"):
        return form % v if v is not None else "-"

    rows = []
    for font in fonts:
        rows.append((
            font,
            ratio(real, "round_trip", "io_floor", font), ratio(cpu, "round_trip", "io_floor", font),
            ratio(real, "get_glyph_all", "freetype_all", font), ratio(cpu, "get_glyph_all", "freetype_all", font),
            real.get(("set_glyph", font)), real.get(("set_glyph_first", font)),
            extra.get(("load", font), {}).get("peak/file"),
        ))

    print("in-process ratios, wall (cpu); goals: %s" % GOALS)
    print("%-22s %16s %16s %11s %11s %10s" % ("font", "trip/floor", "glyphs/FreeType", "set_glyph", "first set", "peak/file"))
    for font, tr, tc, gr, gc, sg, sf, peak in rows:
        print("%-22s %16s %16s %11s %11s %10s" % (
            font, "%s (%s)" % (fmt(tr), fmt(tc)), "%s (%s)" % (fmt(gr), fmt(gc)),
            fmt(sg, "%.2f ms"), fmt(sf, "%.2f ms"), fmt(peak)))

    if args.markdown:
        ctx = report.get("context", {})
        lines = [
            "Run of %s; %s CPUs at %s MHz; load average at start %s; medians of %d repetitions." % (
                ctx.get("date", "?"), ctx.get("num_cpus", "?"), ctx.get("mhz_per_cpu", "?"),
                " ".join("%.2f" % x for x in ctx.get("load_avg", [])), repetitions),
            "",
            "| font | round trip ÷ floor, wall (cpu) | every glyph ÷ FreeType, wall (cpu) | set_glyph | first set_glyph after load | load peak heap ÷ file |",
            "|---|---:|---:|---:|---:|---:|",
        ]
        for font, tr, tc, gr, gc, sg, sf, peak in rows:
            lines.append("| %s | %s (%s) | %s (%s) | %s | %s | %s |" % (
                font, fmt(tr), fmt(tc), fmt(gr), fmt(gc), fmt(sg, "%.2f ms"), fmt(sf, "%.2f ms"), fmt(peak)))
        lines += ["", "Every benchmark, wall time (cpu time), per font:", "",
                  "| benchmark | " + " | ".join(fonts) + " |",
                  "|---|" + "---:|" * len(fonts)]
        for bench in benches:
            cells = []
            for font in fonts:
                if (bench, font) in real:
                    cells.append("%s (%s)" % (ms(real[(bench, font)]), ms(cpu[(bench, font)])))
                else:
                    cells.append("-")
            lines.append("| %s | %s |" % (bench, " | ".join(cells)))
        with open(args.markdown, "w") as f:
            f.write("\n".join(lines) + "\n")
        print("markdown tables written to " + args.markdown)

    if failed:
        print("failed benchmarks:\n  " + "\n  ".join(failed))
        sys.exit(1)


def ms(v):
    if v < 0.1:
        return "%.1f µs" % (v * 1000)
    if v < 1000:
        return "%.3g ms" % v
    return "%.2f s" % (v / 1000)


if __name__ == "__main__":
    main()
