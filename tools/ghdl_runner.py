"""Shared steps of the GHDL checks: generate a filter and its testbench with vantrel-cli,
analyse, elaborate and run them in GHDL, and synthesize generated filters.

Only the standard library and ghdl are needed (no scipy)."""
import os
import subprocess
import sys
import tempfile
from concurrent.futures import ThreadPoolExecutor

STD = "--std=93"


def run(cmd, cwd):
    return subprocess.run(cmd, cwd=cwd, capture_output=True, text=True)


def templates_dir():
    return os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "vhdl",
                        "templates")


def generate(cli, cwd, structure, options, vhdl="filter.vhd", testbench="tb.vhd"):
    """Writes the filter and/or the testbench; returns the completed process."""
    cmd = [cli, structure] + options
    if vhdl:
        cmd += ["--vhdl", vhdl]
    if testbench:
        cmd += ["--testbench", testbench]
    return run(cmd, cwd)


def simulate(ghdl, cwd, files, top, runs=((),)):
    """Analyses, elaborates and runs `top` once per entry of `runs` (the extra run options,
    e.g. ["-gfull_rate=true"]); returns (ok, combined output), the first failing run's output
    or every run's output."""
    for step in ([ghdl, "-a", STD] + files, [ghdl, "-e", STD, top]):
        p = run(step, cwd)
        if p.returncode != 0:
            return False, p.stdout + p.stderr
    out = ""
    for extra in runs:
        p = run([ghdl, "-r", STD, top] + list(extra), cwd)
        if p.returncode != 0:
            return False, p.stdout + p.stderr
        out += p.stdout + p.stderr
    return True, out


def testbench_timing(out):
    """The longest interval between samples taken and the first sample's latency, in clocks,
    as the testbench reports them (None when missing)."""
    found = {}
    for key, name in (("longest interval between samples taken: ", "interval"),
                      ("latency of the first sample: ", "latency")):
        at = out.rfind(key)
        if at >= 0:
            found[name] = int(out[at + len(key):].split()[0])
    return found.get("interval"), found.get("latency")


def synthesize(ghdl, cwd, vhdl_file, top):
    p = run([ghdl, "--synth", STD, vhdl_file, "-e", top], cwd)
    return p.returncode == 0, p.stderr


def sim_case(cli, ghdl, structure, options):
    """One design: generate, simulate, and require the PASS line. Returns an error text or None."""
    top = ("iirfilter" if structure == "iir" else "firfilter") + "_tb"
    with tempfile.TemporaryDirectory() as cwd:
        p = generate(cli, cwd, structure, options)
        if p.returncode != 0:
            return "vantrel-cli exited %d: %s" % (p.returncode, p.stderr.strip())
        ok, out = simulate(ghdl, cwd, ["filter.vhd", "tb.vhd"], top)
        if not ok or "PASS" not in out:
            return "simulation did not pass:\n" + out[-2000:]
    return None


def loaded_case(cli, ghdl, structure, design_options, form):
    """A design saved as a coefficient file in `form`, loaded back by `vantrel-cli load`, and
    generated from the loaded coefficients: the hardware must still equal the model. Returns an
    error text or None."""
    top = ("iirfilter" if structure == "iir" else "firfilter") + "_tb"
    with tempfile.TemporaryDirectory() as cwd:
        p = run([cli, structure] + design_options + ["--format", form, "--save-coeffs", "c.txt"],
                cwd)
        if p.returncode != 0:
            return "saving exited %d: %s" % (p.returncode, p.stderr.strip())
        quantize = design_options[design_options.index("--quantize"):][:2]
        p = generate(cli, cwd, "load", ["c.txt", "--structure", structure] + quantize +
                     ["--data-bits", "12"])
        if p.returncode != 0:
            return "load exited %d: %s" % (p.returncode, p.stderr.strip())
        ok, out = simulate(ghdl, cwd, ["filter.vhd", "tb.vhd"], top)
        if not ok or "PASS" not in out:
            return "simulation did not pass:\n" + out[-2000:]
    return None


def run_cases(label, cases, worker):
    """Runs worker(case) on two threads; prints every failure; returns the exit status."""
    failures = 0
    with ThreadPoolExecutor(max_workers=2) as pool:
        for case, error in zip(cases, pool.map(worker, cases)):
            if error is not None:
                failures += 1
                print("FAILED %s %s\n%s" % (label, " ".join(map(str, case)), error))
            else:
                print("ok     %s %s" % (label, " ".join(map(str, case))))
    print("%d of %d %s cases failed" % (failures, len(cases), label))
    return 1 if failures else 0


def tools_from_argv():
    if len(sys.argv) < 2:
        sys.exit("usage: %s VANTREL_CLI [GHDL]" % os.path.basename(sys.argv[0]))
    return os.path.abspath(sys.argv[1]), (sys.argv[2] if len(sys.argv) > 2 else "ghdl")
