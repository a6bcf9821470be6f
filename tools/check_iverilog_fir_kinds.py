"""The Hilbert transformers, differentiators and multiband FIR designs of check_ghdl_fir_kinds
as Verilog in Icarus Verilog against the bit-true model: serial, folded and parallel, both
din_valid modes must end with PASS (vvp exiting 0), antisymmetric taps must be taken as not
symmetric, the folded and parallel designs must keep their promised timing, and the header must
name the kind.

usage: check_iverilog_fir_kinds.py VANTREL_CLI"""
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_ghdl_fir_kinds as kinds  # noqa: E402  (the design table)
import check_iverilog_arch as iv  # noqa: E402  (simulation and the promised bounds)


def check_case(cli, case):
    options, words, symmetric, b, d, architecture, k = case
    taps = kinds.taps_of(options)
    run_options = (options + ["--quantize", str(b), "--data-bits", str(d)] +
                   iv.architecture_options(architecture, k))
    with tempfile.TemporaryDirectory() as cwd:
        error, text, interval, latency = iv.run_design(cli, cwd, "fir", run_options)
        if error:
            return error
        if "// Filter Type = %s by FIR" % words not in text:
            return "the header does not name the kind: %r" % text[:200]
        if iv.localparam(text, "taps") != taps:
            return "the text holds %s taps, designed %d" % (iv.localparam(text, "taps"), taps)
        if architecture != "serial" and iv.localparam(text, "symmetric") != int(symmetric):
            return "%d taps taken as symmetric %s" % (taps, iv.localparam(text, "symmetric"))
        return iv.arch.check_timing(interval, latency,
                                    *iv.bounds("fir", taps, symmetric, architecture, k))


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    failures = 0
    for case in kinds.CASES:
        error = check_case(sys.argv[1], case)
        name = "%s %s" % (" ".join(case[0]), case[5])
        if error:
            failures += 1
            print("FAIL %s: %s" % (name, error))
        else:
            print("ok   %s" % name)
    print("%d of %d designs failed" % (failures, len(kinds.CASES)) if failures else
          "all %d designs bit-exact" % len(kinds.CASES))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
