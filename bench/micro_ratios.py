"""Reads the JSON report of tavrel_bench and prints, per font, the in-process
ratios that the goals are stated in: the round trip against the I/O floor,
decoding every glyph against FreeType, the time to store one glyph and the
peak heap of a load against the file size. Exits 1 when a benchmark failed."""
import json
import sys

GOALS = "round trip <= 2x floor; every glyph <= 1x FreeType; set_glyph < 16 ms; load peak < 3x file"


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: micro_ratios.py REPORT.json")
    with open(sys.argv[1]) as f:
        report = json.load(f)
    times, counters, failed = {}, {}, []
    for b in report["benchmarks"]:
        if b.get("run_type", "iteration") != "iteration":
            continue
        parts = b["name"].split("/")
        bench, font = parts[0], parts[1]
        if b.get("error_occurred"):
            failed.append("%s: %s" % (b["name"], b.get("error_message", "")))
            continue
        scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
        times[(bench, font)] = b["real_time"] * scale
        counters[(bench, font)] = b

    fonts = []
    for _, font in times:
        if font not in fonts:
            fonts.append(font)
    print("in-process ratios (goals: %s)" % GOALS)
    print("%-22s %12s %12s %12s %14s" % ("font", "trip/floor", "glyphs/FT", "set_glyph", "load peak/file"))

    def ratio(a, b, font):
        if (a, font) in times and (b, font) in times:
            return "%.2f" % (times[(a, font)] / times[(b, font)])
        return "-"

    for font in fonts:
        sg = times.get(("set_glyph", font))
        peak = counters.get(("load", font), {}).get("peak/file")
        print("%-22s %12s %12s %12s %14s" % (
            font, ratio("round_trip", "io_floor", font), ratio("get_glyph_all", "freetype_all", font),
            "%.2f ms" % sg if sg is not None else "-", "%.2f" % peak if peak is not None else "-"))
    if failed:
        print("failed benchmarks:\n  " + "\n  ".join(failed))
        sys.exit(1)


if __name__ == "__main__":
    main()
