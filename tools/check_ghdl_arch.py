"""The folded and parallel architectures against the bit-true model in GHDL: FIR of every type
from 4 to 380 taps, B 4..32, D 4..24, with 1 to 64 multipliers; IIR cascades of 1 to 8 sections;
a loaded FIR with asymmetric taps. Every design runs twice, with gaps in din_valid and with
din_valid held at 1: both runs must end with PASS, the full-rate run must take a sample at least
every bound clocks (the architecture's clocks per sample) and every output must come the
architecture's latency after its sample, and both runs must report the outputs the full-scale
burst saturated (some, for a FIR with taps of both signs). Every folded and parallel template
must also pass ghdl --synth."""
import math
import os
import re
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import ghdl_runner as g  # noqa: E402

# type, taps (as entered), B, D, architecture, multipliers (folded)
FIR_CASES = [
    ("lpf", 4, 4, 4, "folded", 1),
    ("lpf", 4, 12, 8, "parallel", 0),
    # One issue clock a sample (the accumulator cleared between samples taken back to back),
    # lanes beyond the products; one lane with its delay line in block RAM.
    ("lpf", 9, 12, 10, "folded", 5),
    ("lpf", 31, 16, 16, "folded", 1),
    ("hpf", 31, 16, 12, "folded", 4),
    ("hpf", 30, 10, 16, "parallel", 0),
    ("brf", 40, 8, 10, "folded", 3),
    ("brf", 41, 18, 12, "parallel", 0),
    ("bpf", 61, 16, 12, "folded", 8),
    ("bpf", 61, 16, 12, "parallel", 0),
    ("bpf", 45, 32, 24, "folded", 23),
    ("lpf", 64, 32, 24, "parallel", 0),
    ("lpf", 150, 24, 20, "folded", 64),
    ("lpf", 380, 16, 12, "folded", 5),
    ("bpf", 120, 20, 24, "folded", 5),
    ("lpf", 380, 12, 8, "parallel", 0),
]
# The 380-tap designs need wider bands than the default to converge.
WIDE_EDGES = ["--edges", "200,210"]

# type, sections, B, D, architecture, multipliers (folded)
IIR_CASES = [
    ("lpf", 1, 16, 12, "folded", 1),
    ("hpf", 3, 12, 8, "folded", 2),
    ("bpf", 4, 20, 16, "folded", 3),
    ("brf", 6, 24, 24, "folded", 5),
    ("lpf", 7, 24, 20, "folded", 4),
    ("lpf", 1, 10, 10, "parallel", 0),
    ("hpf", 2, 16, 12, "parallel", 0),
    ("lpf", 5, 6, 4, "parallel", 0),
    ("brf", 4, 22, 20, "parallel", 0),
    ("bpf", 8, 16, 12, "parallel", 0),
]

# Taps that are not their own mirror image, as a file of real values.
ASYMMETRIC_TAPS = [0.3 * math.exp(-k / 6.0) * math.cos(0.7 * k) for k in range(23)]


def template(structure, sections, arch):
    # One folded and one parallel template serves every IIR section count.
    name = "firfilter" if structure == "fir" else "iirfilter"
    return os.path.join(g.templates_dir(), "%s_%s.vhd" % (name, arch))


def fir_bound(taps, symmetric, arch, k):
    """Clocks per sample and latency the architecture promises."""
    products = (taps + 1) // 2 if symmetric else taps
    if arch == "parallel":
        # The trees take the products and one constant.
        return 1, 6 + math.ceil(math.log2(products + 1))
    # Issued in ceil(M / K) clocks after the one that takes the sample (within the
    # ceil(M / K) + 2 a folded filter may take), then the pre-adders, the multipliers, the
    # products' sign fix, the adder tree over the lanes, the accumulator's two halves and the
    # saturation.
    lanes = min(k, products)
    cycles = math.ceil(products / lanes) + 1
    return cycles, cycles + 5 + math.ceil(math.log2(lanes))


def iir_bound(sections, arch, k):
    if arch == "parallel":
        return 1, sections + 1
    # Frames of every section's products back to back plus two clocks; a sample's output comes
    # out `sections` frames after it is taken.
    cycles = math.ceil(5 * sections / max(1, min(k, 5))) + 2
    return cycles, sections * cycles


def saturation_error(command, options, out):
    """The testbench's count of saturated outputs, from both runs: every run reports it, the
    outputs at the limits are at least the ones the model clips, and a FIR whose taps take both
    signs (band-pass, high-pass, band-reject) has its output driven to saturation by the
    full-scale burst. Returns an error text or None."""
    found = re.findall(r"saturated outputs: (\d+) at the largest or smallest data word; "
                       r"the model clips (\d+)", out)
    if len(found) != 2:
        return "the testbench reported the saturated outputs %d times, not twice" % len(found)
    for at_limits, clipped in found:
        if int(at_limits) < int(clipped):
            return "%s outputs at the limits, but the model clips %s" % (at_limits, clipped)
    if command == "fir" and "--type" in options and \
            options[options.index("--type") + 1] in ("bpf", "hpf", "brf") and \
            int(found[0][1]) == 0:
        return "the stimulus never saturated the output"
    return None


def constant(text, name):
    m = re.search(r"constant %s\s*:\s*integer\s*:=\s*(\d+)" % name, text)
    return int(m.group(1)) if m else None


def run_design(cli, ghdl, cwd, command, options, arch, k, multipliers_option):
    """Generates and simulates one design in both modes; returns (error, vhdl text, interval,
    latency)."""
    opts = options + (["--multipliers", str(k)] if multipliers_option and k else [])
    p = g.generate(cli, cwd, command, opts)
    if p.returncode != 0:
        return "vantrel-cli exited %d: %s" % (p.returncode, p.stderr.strip()), "", None, None
    path = os.path.join(cwd, "filter.vhd")
    with open(path) as f:
        text = f.read()
    if arch == "folded" and not multipliers_option:
        # Until the command line takes the multiplier count, set it in the generated text.
        text = re.sub(r"(constant multipliers\s*:\s*integer\s*:=\s*)\d+", r"\g<1>%d" % k, text)
        with open(path, "w") as f:
            f.write(text)
    top = ("iirfilter" if "iirfilter" in text.split("entity ", 1)[1][:12] else "firfilter") + "_tb"
    ok, out = g.simulate(ghdl, cwd, ["filter.vhd", "tb.vhd"], top,
                         runs=([], ["-gfull_rate=true"]))
    if not ok or out.count("PASS") != 2:
        return "simulation did not pass:\n" + out[-2000:], text, None, None
    error = saturation_error(command, opts, out)
    if error:
        return error, text, None, None
    interval, latency = g.testbench_timing(out)
    return None, text, interval, latency


def check_timing(interval, latency, cycles, expected_latency):
    if interval is None or interval > cycles:
        return "a sample every %s clocks at full rate, promised %d" % (interval, cycles)
    if latency != expected_latency:
        return "latency %s clocks, promised %d" % (latency, expected_latency)
    return None


def fir_case(cli, ghdl, case, multipliers_option):
    ftype, taps, b, d, arch, k = case
    # A high-pass or band-reject entered with an even count is an odd design and a zero tap,
    # which leaves the taps without their mirror symmetry: every product is summed alone.
    padded = ftype in ("hpf", "brf") and taps % 2 == 0
    shown = taps
    options = ["--type", ftype, "--taps", str(taps), "--quantize", str(b), "--data-bits", str(d),
               "--template", template("fir", 0, arch)] + (WIDE_EDGES if taps > 300 else [])
    with tempfile.TemporaryDirectory() as cwd:
        error, text, interval, latency = run_design(cli, ghdl, cwd, "fir", options, arch, k,
                                                    multipliers_option)
        if error:
            return error
        if constant(text, "taps") != shown or constant(text, "symmetric") != int(not padded):
            return "%d taps taken as symmetric %s" % (shown, constant(text, "symmetric"))
        return check_timing(interval, latency, *fir_bound(shown, not padded, arch, k))


def iir_case(cli, ghdl, case, multipliers_option):
    ftype, sections, b, d, arch, k = case
    options = ["--type", ftype, "--sections", str(sections), "--quantize", str(b),
               "--data-bits", str(d), "--template", template("iir", sections, arch)]
    with tempfile.TemporaryDirectory() as cwd:
        error, _, interval, latency = run_design(cli, ghdl, cwd, "iir", options, arch, k,
                                                 multipliers_option)
        return error or check_timing(interval, latency, *iir_bound(sections, arch, k))


def loaded_case(cli, ghdl, case, multipliers_option):
    arch, k = case
    with tempfile.TemporaryDirectory() as cwd:
        with open(os.path.join(cwd, "c.txt"), "w") as f:
            f.write("Data is Real : 1.0 => 1.0\n")
            f.write("\n".join("%.10f" % v for v in ASYMMETRIC_TAPS) + "\n")
        options = ["c.txt", "--structure", "fir", "--quantize", "16", "--data-bits", "12",
                   "--template", template("fir", 0, arch)]
        error, text, interval, latency = run_design(cli, ghdl, cwd, "load", options, arch, k,
                                                    multipliers_option)
        if error:
            return error
        if constant(text, "symmetric") != 0:
            return "asymmetric taps taken as symmetric"
        return check_timing(interval, latency,
                            *fir_bound(len(ASYMMETRIC_TAPS), False, arch, k))


def synth_case(cli, ghdl, case):
    structure, sections, arch = case
    opts = (["--taps", "31"] if structure == "fir" else ["--sections", str(sections)]) + [
        "--quantize", "16", "--data-bits", "12", "--template", template(structure, sections, arch)]
    with tempfile.TemporaryDirectory() as cwd:
        p = g.generate(cli, cwd, structure, opts, testbench=None)
        if p.returncode != 0:
            return "vantrel-cli exited %d: %s" % (p.returncode, p.stderr.strip())
        ok, err = g.synthesize(ghdl, cwd, "filter.vhd", structure + "filter")
        return None if ok else "ghdl --synth failed:\n" + err[-2000:]


def main():
    cli, ghdl = g.tools_from_argv()
    helps = g.run([cli, "fir", "--help"], None).stdout
    multipliers_option = "--multipliers" in helps
    status = g.run_cases("fir", FIR_CASES,
                         lambda c: fir_case(cli, ghdl, c, multipliers_option))
    status |= g.run_cases("iir", IIR_CASES,
                          lambda c: iir_case(cli, ghdl, c, multipliers_option))
    status |= g.run_cases("loaded asymmetric fir", [("folded", 1), ("folded", 6),
                                                     ("parallel", 0)],
                          lambda c: loaded_case(cli, ghdl, c, multipliers_option))
    synth = [("fir", 0, arch) for arch in ("folded", "parallel")] + [
        ("iir", n, arch) for n in range(1, 9) for arch in ("folded", "parallel")]
    status |= g.run_cases("synth", synth, lambda c: synth_case(cli, ghdl, c))
    return status


if __name__ == "__main__":
    sys.exit(main())
