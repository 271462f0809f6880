#!/usr/bin/python3
"""The performance report writer (its path is the first argument) on made-up
benchmark output: medians are taken over means and single runs, ratios are
the driver's speed over the baseline's, skipped benchmarks are listed with
their reason, both plots are written, and a file that is no benchmark output
is refused with exit status 2. Exits 77 (skipped) without matplotlib."""

import json
import os
import subprocess
import sys
import tempfile
import unittest

WRITER = None


def run(name, time_ms, rate, run_type="iteration", aggregate=None):
    entry = {"name": name, "run_name": name, "run_type": run_type, "real_time": time_ms * 1e6,
             "time_unit": "ns", "items_per_second": rate}
    if aggregate:
        entry["aggregate_name"] = aggregate
        entry["name"] = f"{name}_{aggregate}"
    return entry


def write_output(folder, file_name, benchmarks):
    path = os.path.join(folder, file_name)
    context = {"date": "2026-01-01T00:00:00", "host_name": "box", "num_cpus": 2,
               "load_avg": [1.5, 1.0, 0.5], "opengl": "llvmpipe"}
    with open(path, "w", encoding="utf-8") as file:
        json.dump({"context": context, "benchmarks": benchmarks}, file)
    return path


class Performance_Report(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)

    def write_report(self, *paths):
        result = subprocess.run([sys.executable, WRITER, "--out", self.folder.name, "--machine", "test box",
                                 *paths], capture_output=True, text=True)
        return result

    def test_medians_ratios_skips_and_plots(self):
        model = write_output(self.folder.name, "model.json", [
            run("Driver_Model_Frames/real_time", 50, 20.0, "aggregate", "mean"),
            run("Driver_Model_Frames/real_time", 40, 25.0, "aggregate", "median"),
            run("Direct_Gl_Model_Frames/real_time", 100, 10.0, "aggregate", "median"),
            {**run("Direct_Gl_Model_Frames/real_time", 100, 10.0, "aggregate", "cv"), "real_time": 0.12},
            run("Software_Model_Frames/real_time", 20, 50.0),
            {"name": "Direct_Gl_Model_Frames_Glthread/real_time", "run_name":
             "Direct_Gl_Model_Frames_Glthread/real_time", "run_type": "iteration", "error_occurred": True,
             "error_message": "Mesa's threaded dispatch did not start"},
        ])
        meshes = write_output(self.folder.name, "meshes.json", [
            run(f"{renderer}_Mesh_Frames/triangles:{triangles}/strip:4{extra}/real_time", ms, 1.0)
            for renderer, ms in (("Driver", 2.0), ("Direct_Gl", 4.0), ("Ideal_Gl", 1.0))
            for triangles, extra in ((1000, ""), (1000000, "/iterations:2"))])
        objects = write_output(self.folder.name, "objects.json", [
            run(f"{renderer}_Model_Objects/objects:{n}/real_time", 100, rate * n)
            for renderer, rate in (("Driver", 30.0), ("Direct_Gl", 10.0)) for n in (1, 2)])
        result = self.write_report(model, meshes, objects)
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(os.path.join(self.folder.name, "performance.md"), encoding="utf-8") as file:
            report = file.read()
        self.assertIn("| `Direct_Gl_Model_Frames` | direct OpenGL reference | 10 | 100 | 12% | 2.5 |", report)
        self.assertIn("| `Software_Model_Frames` | software reference (host's standard routines) | 50 | 20 | — | 0.5 |",
                      report)
        self.assertIn("Mesa's threaded dispatch did not start", report)
        self.assertIn("| 1,000,000 | 4 | 2 | 4 | 1 | 2 | 0.5 |", report)
        self.assertIn("| 2 | 60 | 20 | 3 |", report)
        self.assertIn("machine: test box", report)
        self.assertIn("1.50, 1.00, 0.50", report)
        for picture in ("performance-meshes.png", "performance-objects.png"):
            self.assertIn(f"]({picture})", report)
            with open(os.path.join(self.folder.name, picture), "rb") as file:
                self.assertEqual(file.read(8), b"\x89PNG\r\n\x1a\n")

    def test_refuses_what_is_no_benchmark_output(self):
        not_output = os.path.join(self.folder.name, "other.json")
        with open(not_output, "w", encoding="utf-8") as file:
            file.write("[1, 2]")
        for path in (not_output, os.path.join(self.folder.name, "missing.json")):
            result = self.write_report(path)
            self.assertEqual(result.returncode, 2)
            self.assertIn("not benchmark output", result.stderr)
            self.assertFalse(os.path.exists(os.path.join(self.folder.name, "performance.md")))


if __name__ == "__main__":
    try:
        import matplotlib  # noqa: F401  (the writer's plots need it)
    except ImportError:
        print("matplotlib is not installed (scripts/bench-report installs it)")
        sys.exit(77)
    WRITER = sys.argv.pop(1)
    unittest.main()
