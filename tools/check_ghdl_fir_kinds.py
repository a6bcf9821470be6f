"""Hilbert transformers, differentiators and multiband FIR designs in GHDL against the bit-true
model, in the serial, folded and parallel architectures. Antisymmetric taps (h(k) = -h(N-1-k))
must be taken as not symmetric (every product summed alone), a multiband design's symmetric taps
as symmetric; every design runs with gaps in din_valid and with din_valid held at 1, both runs
must end with PASS, and the folded and parallel ones must keep the clocks per sample and the
latency their architecture promises. The header must name the kind.

usage: check_ghdl_fir_kinds.py VANTREL_CLI GHDL"""
import os
import re
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_ghdl_arch as arch  # noqa: E402  (the promised bounds)
import ghdl_runner as g  # noqa: E402

# design options, the header words, whether the taps are symmetric, B, D, architecture, K
CASES = [
    (["--type", "hilbert", "--edges", "50,450", "--taps", "31"], "Hilbert Transformer", False,
     16, 12, "folded", 4),
    (["--type", "hilbert", "--edges", "40,500", "--taps", "30"], "Hilbert Transformer", False,
     18, 14, "parallel", 0),
    (["--type", "differentiator", "--edges", "0,400", "--taps", "21"], "Differentiator", False,
     16, 12, "serial", 0),
    (["--type", "differentiator", "--edges", "0,500", "--taps", "24"], "Differentiator", False,
     20, 16, "folded", 5),
    (["--bands", "0,100,1,1;150,250,0,10;300,380,1,1;420,500,0,5", "--taps", "41"], "Multiband",
     True, 16, 12, "folded", 3),
    (["--bands", "0,80,0,4;120,200,1,1;260,500,0.5,2", "--taps", "36"], "Multiband", True, 14,
     12, "parallel", 0),
]


def template(architecture):
    suffix = "" if architecture == "serial" else "_" + architecture
    return os.path.join(g.templates_dir(), "firfilter%s.vhd" % suffix)


def taps_of(options):
    return int(options[options.index("--taps") + 1])


def check_case(cli, ghdl, case):
    options, words, symmetric, b, d, architecture, k = case
    taps = taps_of(options)
    run_options = options + ["--quantize", str(b), "--data-bits", str(d),
                             "--template", template(architecture)]
    with tempfile.TemporaryDirectory() as cwd:
        error, text, interval, latency = arch.run_design(
            cli, ghdl, cwd, "fir", run_options, architecture, k, True)
        if error:
            return error
        if "-- Filter Type = %s by FIR" % words not in text:
            return "the header does not name the kind: %r" % text[:200]
        if architecture == "serial":
            return None
        if arch.constant(text, "symmetric") != int(symmetric):
            return "%d taps taken as symmetric %s" % (taps, arch.constant(text, "symmetric"))
        return arch.check_timing(interval, latency,
                                 *arch.fir_bound(taps, symmetric, architecture, k))


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    cli, ghdl = sys.argv[1], sys.argv[2]
    failures = 0
    for case in CASES:
        error = check_case(cli, ghdl, case)
        name = "%s %s" % (" ".join(case[0]), case[5])
        if error:
            failures += 1
            print("FAIL %s: %s" % (name, error))
        else:
            print("ok   %s" % name)
    print("%d of %d designs failed" % (failures, len(CASES)) if failures else
          "all %d designs bit-exact" % len(CASES))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
