"""Checks of the comparison and report scripts that would otherwise fail
silently: a failing program must stop the comparison instead of being timed,
the model's diagnostic lines must not be read as results, and a benchmark
that stopped with an error must fail the report."""
import json
import os
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))

import compare  # noqa: E402


class CompareTest(unittest.TestCase):
    def test_failing_program_raises_instead_of_being_timed(self):
        with tempfile.TemporaryDirectory() as work:
            with self.assertRaises(RuntimeError):
                compare.run_once(["/bin/sh", "-c", "echo partial; exit 3"], work)
            run = compare.run_once(["/bin/sh", "-c", "echo glyphs=12 points=-1"], work)
            self.assertGreater(run.wall, 0)
            self.assertEqual(compare.counts(run.output), {"glyphs": 12, "points": -1})

    def test_counts_skip_the_model_diagnostic_lines(self):
        output = "ttf:load\nname=[head]\nname=[OS/2]\nglyphs=3 failed=0\npeak_rss_kb=2600\n"
        self.assertEqual(compare.counts(output), {"glyphs": 3, "failed": 0, "peak_rss_kb": 2600})


def micro_report(benchmarks):
    entries = []
    for name, real, cpu, extra in benchmarks:
        entry = {"name": name, "run_type": "iteration", "real_time": real, "cpu_time": cpu,
                 "time_unit": "ms"}
        entry.update(extra)
        entries.append(entry)
    return {"context": {}, "benchmarks": entries}


class MicroRatiosTest(unittest.TestCase):
    def run_script(self, report):
        with tempfile.TemporaryDirectory() as work:
            path = os.path.join(work, "report.json")
            md = os.path.join(work, "report.md")
            with open(path, "w") as f:
                json.dump(report, f)
            done = subprocess.run([sys.executable, os.path.join(os.path.dirname(HERE), "micro_ratios.py"),
                                   path, "--markdown", md], capture_output=True, text=True)
            with open(md) as f:
                return done.returncode, done.stdout, f.read()

    def test_ratios_pair_the_same_font(self):
        code, out, md = self.run_script(micro_report([
            ("io_floor/A/real_time", 2.0, 1.0, {}),
            ("io_floor/B/real_time", 10.0, 10.0, {}),
            ("round_trip/A/real_time", 3.0, 4.0, {}),
            ("round_trip/B/real_time", 5.0, 5.0, {}),
            ("load/B/real_time", 1.0, 1.0, {"peak/file": 1.25}),
        ]))
        self.assertEqual(code, 0, out)
        self.assertIn("| A | 1.50 (4.00) |", md)
        self.assertIn("| B | 0.50 (0.50) |", md)
        self.assertIn("| 1.25 |", md)

    def test_repetitions_are_reduced_to_their_median(self):
        code, out, md = self.run_script(micro_report([
            ("io_floor/A/real_time", 1.0, 1.0, {}),
            ("round_trip/A/real_time", 9.0, 9.0, {}),
            ("io_floor/A/real_time", 2.0, 2.0, {}),
            ("round_trip/A/real_time", 3.0, 3.0, {}),
            ("io_floor/A/real_time", 4.0, 4.0, {}),
            ("round_trip/A/real_time", 4.0, 4.0, {}),
            ("round_trip/A/real_time_median", 100.0, 100.0, {"run_type": "aggregate"}),
        ]))
        self.assertEqual(code, 0, out)
        # medians: floor 2, round trip 4
        self.assertIn("| A | 2.00 (2.00) |", md)
        self.assertIn("medians of 3 repetitions", md)

    def test_a_failed_benchmark_fails_the_report(self):
        code, out, _ = self.run_script(micro_report([
            ("io_floor/A/real_time", 2.0, 1.0, {}),
            ("set_glyph/A/real_time", 0.0, 0.0, {"error_occurred": True,
                                                  "error_message": "stored glyph does not read back"}),
        ]))
        self.assertEqual(code, 1)
        self.assertIn("stored glyph does not read back", out)


SMALL_FONT = "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf"


@unittest.skipUnless(os.environ.get("BENCH_BIN"), "BENCH_BIN names the folder of the built programs")
class ProgramsTest(unittest.TestCase):
    """The timed programs must do the work they are timed for and must not
    report a failed write as success."""

    def program(self, name):
        return os.path.join(os.environ["BENCH_BIN"], name)

    def test_floor_copies_the_file_exactly(self):
        with tempfile.TemporaryDirectory() as work:
            out = os.path.join(work, "copy.ttf")
            subprocess.run([self.program("io_floor"), SMALL_FONT, out], check=True, capture_output=True)
            with open(SMALL_FONT, "rb") as a, open(out, "rb") as b:
                self.assertEqual(a.read(), b.read())

    def test_a_full_disk_fails_the_floor_and_the_round_trip(self):
        for argv in ([self.program("io_floor"), SMALL_FONT, "/dev/full"],
                     [self.program("tavrel_fontcli"), "roundtrip", SMALL_FONT, "/dev/full"]):
            done = subprocess.run(argv, capture_output=True, text=True)
            self.assertNotEqual(done.returncode, 0, argv)
            self.assertNotIn("peak_rss_kb", done.stdout)

    def test_round_trip_writes_a_font_of_the_same_size(self):
        with tempfile.TemporaryDirectory() as work:
            out = os.path.join(work, "saved.ttf")
            subprocess.run([self.program("tavrel_fontcli"), "roundtrip", SMALL_FONT, out],
                           check=True, capture_output=True)
            self.assertEqual(os.path.getsize(out), os.path.getsize(SMALL_FONT))

    def test_a_load_adds_at_least_the_file_to_the_idle_process(self):
        def peak(*args):
            done = subprocess.run([self.program("tavrel_fontcli")] + list(args),
                                  check=True, capture_output=True, text=True)
            return compare.counts(done.stdout)["peak_rss_kb"]
        self.assertGreater(peak("load", SMALL_FONT) - peak("idle"), os.path.getsize(SMALL_FONT) // 1024)


if __name__ == "__main__":
    unittest.main()
