"""Generated FIR filters against their testbenches in GHDL: every filter type, odd and even
tap counts, several coefficient and data bit lengths, the sine, the square and a user wave, and
the 380-tap design once. Each run must end with PASS. Also: a testbench run against the filter
of another design must report FAIL, and the VHDL options refuse what the window refuses."""
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import ghdl_runner as g  # noqa: E402

# type, taps, B, D, extra options
CASES = [
    ("lpf", 31, 16, 12, []),
    ("lpf", 90, 12, 8, ["--wave", "square", "--freq", "40"]),
    ("lpf", 20, 4, 4, []),
    ("lpf", 45, 32, 24, ["--freq", "220"]),
    ("hpf", 31, 16, 16, ["--freq", "400"]),
    ("hpf", 30, 10, 12, ["--wave", "square", "--freq", "300"]),
    ("brf", 41, 18, 12, []),
    ("brf", 40, 8, 10, ["--freq", "300"]),
    ("bpf", 40, 14, 10, ["--freq", "300"]),
    ("bpf", 61, 24, 24, ["--wave", "square", "--freq", "25"]),
    ("lpf", 380, 16, 12, ["--edges", "200,210"]),
]

# A user wave that leaves the nominal range, so the stimulus saturates.
USER_WAVE = " ".join(str(int(90 * ((i * 37) % 101 - 50) / 50)) for i in range(700))


def options(case, user_file=None):
    ftype, taps, b, d, extra = case
    opts = ["--type", ftype, "--taps", str(taps), "--quantize", str(b), "--data-bits", str(d)]
    return opts + (["--user", user_file] if user_file else extra)


def main():
    cli, ghdl = g.tools_from_argv()
    status = g.run_cases("fir", CASES, lambda c: g.sim_case(cli, ghdl, "fir", options(c)))

    with tempfile.TemporaryDirectory() as cwd:
        wave = os.path.join(cwd, "wave.txt")
        with open(wave, "w") as f:
            f.write(USER_WAVE)
        error = g.sim_case(cli, ghdl, "fir", options(("bpf", 33, 16, 12, []), wave))
        print(("FAILED" if error else "ok    ") + " fir user wave" + ("\n" + error if error else ""))
        status |= 1 if error else 0

        # A band pass saved in hex and loaded back drives the same hardware.
        error = g.loaded_case(cli, ghdl, "fir", ["--type", "bpf", "--taps", "41", "--quantize",
                                                  "16"], "hex")
        print(("FAILED" if error else "ok    ") + " fir loaded from a file" +
              ("\n" + error if error else ""))
        status |= 1 if error else 0

        # The testbench of a low-pass filter against the filter of a high-pass one.
        g.generate(cli, cwd, "fir", options(("lpf", 31, 16, 12, [])), vhdl=None)
        g.generate(cli, cwd, "fir", options(("hpf", 31, 16, 12, [])), testbench=None)
        ok, out = g.simulate(ghdl, cwd, ["filter.vhd", "tb.vhd"], "firfilter_tb")
        wrong_design_caught = not ok and "FAIL" in out and "PASS" not in out
        print(("ok    " if wrong_design_caught else "FAILED") + " fir mismatched design reports FAIL")
        status |= 0 if wrong_design_caught else 1

        # Without --quantize the VHDL is refused, naming the option, exit status 2.
        p = g.generate(cli, cwd, "fir", ["--data-bits", "12"], vhdl="x.vhd", testbench=None)
        refused = p.returncode == 2 and "--quantize B is needed" in p.stderr
        refused = refused and not os.path.exists(os.path.join(cwd, "x.vhd"))
        p = g.generate(cli, cwd, "fir", ["--quantize", "16", "--data-bits", "25"], vhdl="x.vhd",
                       testbench=None)
        refused = refused and p.returncode == 2 and "between 4 and 24" in p.stderr
        print(("ok    " if refused else "FAILED") + " fir VHDL options refused")
        status |= 0 if refused else 1
    return status


if __name__ == "__main__":
    sys.exit(main())
