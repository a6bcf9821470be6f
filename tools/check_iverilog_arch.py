"""Generated Verilog against the bit-true model in Icarus Verilog, over the design table of the
GHDL architecture check (FIR of every type from 4 to 380 taps, B 4..32, D 4..24, 1 to 64
multipliers; IIR cascades of 1 to 8 sections; a loaded FIR with asymmetric taps) plus the serial
architecture. Every design runs twice, with gaps in din_valid and with din_valid held at 1
(+full_rate): both runs must end with PASS and vvp must exit 0, the full-rate run must take a
sample at least every bound clocks, every output must come the architecture's latency after
its sample, and both runs must report the saturated outputs as the GHDL check requires. Then:
  - the testbench of one design fails (FAIL, vvp exits non-zero) on another design's filter;
  - every Verilog template, substituted, passes `verilator --lint-only` with its default warnings;
  - the Verilog templates, substituted, map to iCE40 cells with yosys synth_ice40 at small
    widths (B 8, D 6): the three FIR ones and the IIR ones of 1, 4 and 8 sections, or every
    template with --all-synth (which takes some minutes more).
The lint and mapping parts are skipped, with a line saying so, when verilator or yosys is not
installed.

usage: check_iverilog_arch.py VANTREL_CLI [--all-synth]"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_ghdl_arch as arch  # noqa: E402  (the design table and the promised bounds)
import ghdl_runner as g  # noqa: E402

# The serial architecture beside the table's folded and parallel rows.
SERIAL_FIR_CASES = [
    ("lpf", 31, 16, 12, "serial", 0),
    ("hpf", 30, 12, 10, "serial", 0),
    ("brf", 41, 32, 24, "serial", 0),
    ("bpf", 61, 8, 4, "serial", 0),
]
SERIAL_IIR_CASES = [("lpf", n, 16, 12, "serial", 0) for n in (1, 2, 5, 8)]


def template(structure, sections, architecture):
    # The serial IIR templates are one per section count; the folded and parallel one for all.
    name = "firfilter" if structure == "fir" else (
        "iirfilter%d" % sections if architecture == "serial" else "iirfilter")
    suffix = "" if architecture == "serial" else "_" + architecture
    return os.path.join(g.templates_dir(), name + suffix + ".v")


def simulate(cwd, files, runs=((), ("+full_rate",))):
    """Compiles with iverilog and runs vvp once per entry of `runs`; returns (exit statuses,
    combined output)."""
    p = g.run(["iverilog", "-g2001", "-o", "sim.vvp"] + files, cwd)
    if p.returncode != 0:
        return [p.returncode], p.stdout + p.stderr
    statuses, out = [], ""
    for extra in runs:
        p = g.run(["vvp", "-n", "sim.vvp"] + list(extra), cwd)
        statuses.append(p.returncode)
        out += p.stdout + p.stderr
    return statuses, out


def run_design(cli, cwd, command, options):
    """Generates one design and its testbench and simulates both modes; returns (error, text,
    interval, latency)."""
    p = g.run([cli, command] + options + ["--verilog", "filter.v", "--testbench", "tb.v"], cwd)
    if p.returncode != 0:
        return "vantrel-cli exited %d: %s" % (p.returncode, p.stderr.strip()), "", None, None
    with open(os.path.join(cwd, "filter.v")) as f:
        text = f.read()
    statuses, out = simulate(cwd, ["filter.v", "tb.v"])
    if statuses != [0, 0] or out.count("PASS") != 2:
        return "simulation did not pass (vvp %s):\n%s" % (statuses, out[-2000:]), text, None, None
    error = arch.saturation_error(command, options, out)
    if error:
        return error, text, None, None
    interval, latency = g.testbench_timing(out)
    return None, text, interval, latency


def localparam(text, name):
    m = re.search(r"localparam\s+%s\s*=\s*(\d+)" % name, text)
    return int(m.group(1)) if m else None


def bounds(structure, count, symmetric, architecture, k):
    if architecture == "serial":
        return (count + 2, count + 1) if structure == "fir" else (6 * count + 1, 6 * count)
    if structure == "fir":
        return arch.fir_bound(count, symmetric, architecture, k)
    return arch.iir_bound(count, architecture, k)


def architecture_options(architecture, k):
    return ["--arch", architecture] + (["--multipliers", str(k)] if k else [])


def fir_case(cli, case):
    ftype, taps, b, d, architecture, k = case
    padded = ftype in ("hpf", "brf") and taps % 2 == 0
    options = (["--type", ftype, "--taps", str(taps), "--quantize", str(b), "--data-bits", str(d)]
               + architecture_options(architecture, k) + (arch.WIDE_EDGES if taps > 300 else []))
    with tempfile.TemporaryDirectory() as cwd:
        error, text, interval, latency = run_design(cli, cwd, "fir", options)
        if error:
            return error
        if localparam(text, "taps") != taps:
            return "the text holds %s taps, designed %d" % (localparam(text, "taps"), taps)
        if architecture != "serial" and localparam(text, "symmetric") != int(not padded):
            return "%d taps taken as symmetric %s" % (taps, localparam(text, "symmetric"))
        return arch.check_timing(interval, latency,
                                 *bounds("fir", taps, not padded, architecture, k))


def iir_case(cli, case):
    ftype, sections, b, d, architecture, k = case
    options = (["--type", ftype, "--sections", str(sections), "--quantize", str(b),
                "--data-bits", str(d)] + architecture_options(architecture, k))
    with tempfile.TemporaryDirectory() as cwd:
        error, _, interval, latency = run_design(cli, cwd, "iir", options)
        return error or arch.check_timing(interval, latency,
                                          *bounds("iir", sections, False, architecture, k))


def loaded_case(cli, case):
    architecture, k = case
    with tempfile.TemporaryDirectory() as cwd:
        with open(os.path.join(cwd, "c.txt"), "w") as f:
            f.write("Data is Real : 1.0 => 1.0\n")
            f.write("\n".join("%.10f" % v for v in arch.ASYMMETRIC_TAPS) + "\n")
        options = (["c.txt", "--structure", "fir", "--quantize", "16", "--data-bits", "12"] +
                   architecture_options(architecture, k))
        error, text, interval, latency = run_design(cli, cwd, "load", options)
        if error:
            return error
        if architecture != "serial" and localparam(text, "symmetric") != 0:
            return "asymmetric taps taken as symmetric"
        return arch.check_timing(interval, latency, *bounds(
            "fir", len(arch.ASYMMETRIC_TAPS), False, architecture, k))


def foreign_filter_case(cli, case):
    """The testbench of design A against the filter of design B: it must fail, loudly."""
    structure, mine, other = case
    with tempfile.TemporaryDirectory() as cwd:
        for options, output in ((mine, ["--testbench", "tb.v"]), (other, ["--verilog", "f.v"])):
            p = g.run([cli, structure] + options + ["--data-bits", "12"] + output, cwd)
            if p.returncode != 0:
                return "vantrel-cli exited %d: %s" % (p.returncode, p.stderr.strip())
        statuses, out = simulate(cwd, ["f.v", "tb.v"], runs=((),))
        if statuses[0] == 0 or "FAIL" not in out or "PASS" in out:
            return "a foreign filter was not caught (vvp %s):\n%s" % (statuses, out[-1000:])
    return None


def templates(section_counts=range(1, 9)):
    """(structure, sections, architecture) of the FIR templates and of the IIR templates of the
    section counts."""
    cases = [("fir", 0, a) for a in ("serial", "folded", "parallel")]
    cases += [("iir", n, a) for n in section_counts for a in ("serial", "folded", "parallel")]
    return cases


def generate_template(cli, cwd, case, bits, data_bits):
    structure, sections, architecture = case
    options = ((["--taps", "31"] if structure == "fir" else ["--sections", str(sections)]) +
               ["--quantize", str(bits), "--data-bits", str(data_bits), "--arch", architecture,
                "--multipliers", "3", "--template", template(structure, sections, architecture),
                "--verilog", "filter.v"])
    return g.run([cli, structure] + options, cwd)


def lint_case(cli, case):
    with tempfile.TemporaryDirectory() as cwd:
        p = generate_template(cli, cwd, case, 16, 12)
        if p.returncode != 0:
            return "vantrel-cli exited %d: %s" % (p.returncode, p.stderr.strip())
        p = g.run(["verilator", "--lint-only", "filter.v"], cwd)
        return None if p.returncode == 0 and not p.stderr.strip() else p.stderr[-2000:]


def synth_case(cli, case):
    with tempfile.TemporaryDirectory() as cwd:
        p = generate_template(cli, cwd, case, 8, 6)
        if p.returncode != 0:
            return "vantrel-cli exited %d: %s" % (p.returncode, p.stderr.strip())
        top = case[0] + "filter"
        p = g.run(["yosys", "-p", "read_verilog filter.v; synth_ice40 -top %s; stat" % top],
                  cwd)
        if p.returncode != 0:
            return "yosys failed:\n" + (p.stdout + p.stderr)[-2000:]
        if "SB_LUT4" not in p.stdout:
            return "yosys mapped no logic:\n" + p.stdout[-2000:]
    return None


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    cli = os.path.abspath(sys.argv[1])
    status = g.run_cases("fir", SERIAL_FIR_CASES + arch.FIR_CASES, lambda c: fir_case(cli, c))
    status |= g.run_cases("iir", SERIAL_IIR_CASES + arch.IIR_CASES, lambda c: iir_case(cli, c))
    status |= g.run_cases("loaded asymmetric fir", [("serial", 0), ("folded", 1), ("folded", 6),
                                                     ("parallel", 0)],
                          lambda c: loaded_case(cli, c))
    other_fir = ["--taps", "31", "--quantize", "16", "--type", "hpf"]
    other_iir = ["--sections", "3", "--quantize", "16", "--type", "hpf"]
    status |= g.run_cases("testbench on a foreign filter", [
        ("fir", ["--taps", "31", "--quantize", "16"], other_fir),
        ("iir", ["--sections", "3", "--quantize", "16"], other_iir),
    ], lambda c: foreign_filter_case(cli, c))
    synthesized = templates() if "--all-synth" in sys.argv[2:] else templates((1, 4, 8))
    for tool, label, worker, cases in (
            ("verilator", "verilator lint", lint_case, templates()),
            ("yosys", "yosys synth_ice40", synth_case, synthesized)):
        if shutil.which(tool) is None:
            print("skipped %s: %s is not installed" % (label, tool))
            continue
        status |= g.run_cases(label, cases, lambda c, w=worker: w(cli, c))
    return status


if __name__ == "__main__":
    sys.exit(main())
