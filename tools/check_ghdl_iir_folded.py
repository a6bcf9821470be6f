"""The folded IIR cascade against the bit-true model in GHDL, for 1 to 8 sections and 1 to 5
multiplier lanes. Every design runs with gaps in din_valid and with din_valid held at 1; both runs
must end with PASS. At full rate a sample must be taken every ceil(5 S / K) + 2 clocks (the
resource bound of 5 S products on K lanes, plus the clock that sums the last ones and the
one that moves the sections' results on), the header's clocks per sample must say exactly what
was measured, and the first output must come S such frames after its sample.

usage: check_ghdl_iir_folded.py VANTREL_CLI [GHDL]"""
import math
import os
import re
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import ghdl_runner as g  # noqa: E402

# type, sections, B, D, multipliers. Every section count with lanes that divide its 5 S
# products and lanes that leave the last clock part empty, so that one clock's lanes end one
# section and start the next; 2, 4 and 8 lanes as asked (8 takes 5).
CASES = [
    ("lpf", 1, 16, 12, 1), ("hpf", 1, 12, 8, 2), ("lpf", 1, 20, 16, 5),
    ("lpf", 2, 16, 12, 3), ("brf", 2, 24, 20, 4), ("hpf", 2, 10, 6, 1),
    ("hpf", 3, 16, 12, 2), ("lpf", 3, 18, 14, 5), ("hpf", 3, 14, 10, 4),
    ("brf", 4, 16, 12, 3), ("lpf", 4, 20, 16, 1), ("bpf", 4, 12, 10, 8),
    ("hpf", 5, 16, 12, 2), ("lpf", 5, 22, 18, 4), ("lpf", 5, 16, 12, 5),
    ("lpf", 6, 16, 12, 4), ("bpf", 6, 24, 24, 3),
    ("hpf", 7, 16, 12, 3), ("lpf", 7, 20, 16, 2),
    ("lpf", 8, 16, 12, 2), ("bpf", 8, 18, 12, 1), ("brf", 8, 16, 12, 5),
]

HEADER = re.compile(r"Architecture = folded, (\d+) multipliers?, (\d+) clocks per sample")


def bound(sections, k):
    """The clocks per sample the folded cascade promises and its latency."""
    cycles = math.ceil(5 * sections / min(k, 5)) + 2
    return cycles, sections * cycles


def check(case, text, out):
    """Error text for one design's simulation output, or None."""
    _, sections, _, _, k = case
    if out.count("PASS") != 2:
        return "simulation did not pass:\n" + out[-2000:]
    interval, latency = g.testbench_timing(out)
    cycles, expected_latency = bound(sections, k)
    header = HEADER.search(text)
    if header is None:
        return "no architecture line in the header"
    if int(header.group(1)) != min(k, 5) or int(header.group(2)) != cycles:
        return "header says %s, expected %d multipliers, %d clocks" % (header.group(0),
                                                                       min(k, 5), cycles)
    if interval != cycles:
        return "a sample every %s clocks at full rate, expected %d" % (interval, cycles)
    if latency != expected_latency:
        return "latency %s clocks, expected %d" % (latency, expected_latency)
    return None


def options(case, suffix):
    ftype, sections, b, d, k = case
    return ["--type", ftype, "--sections", str(sections), "--quantize", str(b), "--data-bits",
            str(d), "--arch", "folded", "--multipliers", str(k), "--template",
            os.path.join(g.templates_dir(), "iirfilter_folded." + suffix)]


def ghdl_case(cli, ghdl, case):
    with tempfile.TemporaryDirectory() as cwd:
        p = g.generate(cli, cwd, "iir", options(case, "vhd"))
        if p.returncode != 0:
            return "vantrel-cli exited %d: %s" % (p.returncode, p.stderr.strip())
        with open(os.path.join(cwd, "filter.vhd")) as f:
            text = f.read()
        ok, out = g.simulate(ghdl, cwd, ["filter.vhd", "tb.vhd"], "iirfilter_tb",
                             runs=([], ["-gfull_rate=true"]))
        return check(case, text, out) if ok else "simulation failed:\n" + out[-2000:]


def main():
    cli, ghdl = g.tools_from_argv()
    return g.run_cases("iir folded", CASES, lambda c: ghdl_case(cli, ghdl, c))


if __name__ == "__main__":
    sys.exit(main())
