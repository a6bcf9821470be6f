"""Every shipped template, as generated, must synthesize with ghdl --synth: the FIR filter at
an odd and an even tap count and the IIR cascade with 1 to 8 sections."""
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import ghdl_runner as g  # noqa: E402

CASES = [("fir", ["--taps", "31"]), ("fir", ["--type", "hpf", "--taps", "30"])] + [
    ("iir", ["--sections", str(n)]) for n in range(1, 9)]


def synth_case(cli, ghdl, case):
    structure, opts = case
    with tempfile.TemporaryDirectory() as cwd:
        p = g.generate(cli, cwd, structure, opts + ["--quantize", "16", "--data-bits", "12"],
                       testbench=None)
        if p.returncode != 0:
            return "vantrel-cli exited %d: %s" % (p.returncode, p.stderr.strip())
        ok, err = g.synthesize(ghdl, cwd, "filter.vhd", structure + "filter")
        return None if ok else "ghdl --synth failed:\n" + err[-2000:]


def main():
    cli, ghdl = g.tools_from_argv()
    return g.run_cases("synth", CASES, lambda c: synth_case(cli, ghdl, c))


if __name__ == "__main__":
    sys.exit(main())
