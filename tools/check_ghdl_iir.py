"""Generated IIR cascades against their testbenches in GHDL: 1 to 8 sections for low-pass and
high-pass, 2, 4, 6 and 8 for band-rejection and band-pass, over several coefficient and data bit
lengths. Each run must end with PASS."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import ghdl_runner as g  # noqa: E402

BITS = [(16, 12), (12, 8), (20, 16), (8, 10), (24, 24), (14, 4)]


def cases():
    result = []
    i = 0
    for ftype, counts in (("lpf", range(1, 9)), ("hpf", range(1, 9)),
                          ("brf", (2, 4, 6, 8)), ("bpf", (2, 4, 6, 8))):
        for n in counts:
            b, d = BITS[i % len(BITS)]
            wave = ["--wave", "square"] if i % 3 == 1 else []
            result.append((ftype, n, b, d, wave))
            i += 1
    return result


def options(case):
    ftype, n, b, d, extra = case
    cutoff = "150,300" if ftype in ("brf", "bpf") else "150"
    return ["--type", ftype, "--sections", str(n), "--cutoff", cutoff, "--quantize", str(b),
            "--data-bits", str(d)] + extra


def main():
    cli, ghdl = g.tools_from_argv()
    status = g.run_cases("iir", cases(), lambda c: g.sim_case(cli, ghdl, "iir", options(c)))
    # A band-stop cascade saved in decimal and loaded back drives the same hardware.
    error = g.loaded_case(cli, ghdl, "iir", ["--type", "brf", "--sections", "4", "--quantize",
                                             "16"], "dec")
    print(("FAILED" if error else "ok    ") + " iir loaded from a file" +
          ("\n" + error if error else ""))
    return status | (1 if error else 0)


if __name__ == "__main__":
    sys.exit(main())
