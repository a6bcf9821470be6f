"""The folded IIR cascade's Verilog against the bit-true model in Icarus Verilog, over the design
table of check_ghdl_iir_folded.py and with the same promises: PASS with gaps and at full rate
(vvp exiting 0), a sample every ceil(5 S / K) + 2 clocks at full rate as the header says, and
the first output S such frames after its sample.

usage: check_iverilog_iir_folded.py VANTREL_CLI"""
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_ghdl_iir_folded as folded  # noqa: E402  (the design table and the promises)
import ghdl_runner as g  # noqa: E402


def iverilog_case(cli, case):
    with tempfile.TemporaryDirectory() as cwd:
        p = g.run([cli, "iir"] + folded.options(case, "v") +
                  ["--verilog", "filter.v", "--testbench", "tb.v"], cwd)
        if p.returncode != 0:
            return "vantrel-cli exited %d: %s" % (p.returncode, p.stderr.strip())
        with open(os.path.join(cwd, "filter.v")) as f:
            text = f.read()
        p = g.run(["iverilog", "-g2001", "-o", "sim.vvp", "filter.v", "tb.v"], cwd)
        if p.returncode != 0:
            return "iverilog failed:\n" + (p.stdout + p.stderr)[-2000:]
        out = ""
        for extra in ([], ["+full_rate"]):
            p = g.run(["vvp", "-n", "sim.vvp"] + extra, cwd)
            out += p.stdout + p.stderr
            if p.returncode != 0:
                return "vvp exited %d:\n%s" % (p.returncode, out[-2000:])
        return folded.check(case, text, out)


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    cli = os.path.abspath(sys.argv[1])
    return g.run_cases("iir folded verilog", folded.CASES, lambda c: iverilog_case(cli, c))


if __name__ == "__main__":
    sys.exit(main())
