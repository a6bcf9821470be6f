"""Shared steps of the polyphase simulator checks: seeded random cases (decimate or interpolate
by 2..16, taps up to 380, coefficient bits 4..32, data bits 4..24), a random input with random
din_valid gaps (or none, at full rate), the model's outputs from `vantrel-cli fir ... --user`,
the taps from `--report --format dec` checked against scipy's upfirdn, the generated filter,
and a testbench in the language that replays the stimulus through the handshake and lists every
sample taken and every dout given, with the clock count of each.

Stimulus file: one line per sample, "GAP VALUE": GAP idle clocks (din_valid 0) before the sample
is offered; the sample is held until the clock edge where din_ready is 1.
Testbench output: "T CLOCK" for a sample taken, "O CLOCK VALUE" for a dout where dout_valid is 1."""
import os
import random
import re
import subprocess
import sys

try:
    import numpy as np
    from scipy import signal
except ImportError:
    # The first python3 on PATH may lack numpy: the system one has it.
    if os.path.realpath(sys.executable) != os.path.realpath("/usr/bin/python3") and \
            os.path.exists("/usr/bin/python3"):
        os.execv("/usr/bin/python3", ["/usr/bin/python3", *sys.argv])
    raise


def make_cases():
    """(kind, factor, type, taps, B, D, method): a fixed list, then seeded random ones."""
    cases = [
        ("decimate", 2, "lpf", 4, 4, 4, "kaiser"),
        ("interpolate", 2, "lpf", 5, 8, 6, "kaiser"),
        ("decimate", 8, "bpf", 61, 16, 12, "remez"),       # the README's band-pass
        ("interpolate", 16, "lpf", 9, 12, 10, "kaiser"),   # phases without a tap
        ("decimate", 16, "lpf", 380, 16, 12, "kaiser"),
        ("interpolate", 3, "lpf", 380, 10, 16, "kaiser"),
        ("decimate", 5, "lpf", 120, 4, 10, "kaiser"),      # many taps quantize to 0
        ("interpolate", 4, "hpf", 31, 32, 24, "remez"),
        ("decimate", 3, "brf", 40, 24, 24, "remez"),
        ("decimate", 13, "lpf", 8, 6, 8, "kaiser"),        # fewer taps than the factor
    ]
    rng = random.Random(35)
    for _ in range(10):
        kind = rng.choice(["decimate", "interpolate"])
        taps = rng.choice([rng.randint(4, 64), rng.randint(65, 200)])
        cases.append((kind, rng.randint(2, 16), rng.choice(["lpf", "hpf", "bpf"]), taps,
                      rng.randint(4, 32), rng.randint(4, 24), "kaiser"))
    return cases


CASES = make_cases()


def make_folded_cases():
    """The folded and auto hardware: a case and its architecture options."""
    cases = [
        (CASES[2], ["--arch", "folded", "--multipliers", "2"]),   # the README's band-pass
        (CASES[2], ["--arch", "folded", "--multipliers", "8"]),   # one row per input sample
        (CASES[7], ["--arch", "folded", "--multipliers", "3"]),
        (CASES[3], ["--arch", "folded", "--multipliers", "2"]),   # phases without a tap
        (CASES[4], ["--arch", "folded", "--multipliers", "5"]),
        (CASES[5], ["--arch", "folded", "--multipliers", "64"]),  # rows padded to 64 lanes
        (CASES[0], ["--arch", "folded", "--multipliers", "7"]),   # more lanes than products
        (CASES[9], ["--arch", "folded", "--multipliers", "4"]),
        (CASES[6], ["--arch", "auto", "--clock", "64000"]),
        (CASES[1], ["--arch", "folded", "--multipliers", "1"]),
    ]
    rng = random.Random(41)
    for _ in range(6):
        kind = rng.choice(["decimate", "interpolate"])
        case = (kind, rng.randint(2, 16), rng.choice(["lpf", "hpf", "bpf"]), rng.randint(4, 120),
                rng.randint(4, 32), rng.randint(4, 24), "kaiser")
        cases.append((case, ["--arch", "folded", "--multipliers", str(rng.randint(2, 9))]))
    return cases


FOLDED_CASES = make_folded_cases()


def run(cmd, cwd):
    return subprocess.run(cmd, cwd=cwd, capture_output=True, text=True)


def entity(case):
    return "firfilter_decim" if case[0] == "decimate" else "firfilter_interp"


def name_of(case):
    kind, factor, ftype, taps, b, d, method = case
    return "%s %d %s N=%d B=%d D=%d %s" % (kind, factor, ftype, taps, b, d, method)


def fir_options(case):
    kind, factor, ftype, taps, b, d, method = case
    edges = {"lpf": "800,1200", "hpf": "1800,2400", "bpf": "800,1000,2000,2200",
             "brf": "800,1000,2000,2200"}[ftype]
    return ["fir", "--type", ftype, "--fs", "8000", "--edges", edges, "--taps", str(taps),
            "--method", method, "--quantize", str(b), "--data-bits", str(d), "--" + kind,
            str(factor)]


def stimulus(case, full_rate, seed):
    kind, factor, _, taps, _, d, _ = case
    rng = random.Random(seed)
    low, high = -(1 << (d - 1)), (1 << (d - 1)) - 1
    n = (24 if kind == "interpolate" else 24 * factor) + rng.randrange(factor) + taps // 4
    x = [high] * (n // 6) + [low] * (n // 6)
    x += [rng.randint(low, high) for _ in range(n - len(x))]
    gaps = [0 if full_rate or rng.random() < 0.5 else rng.randint(1, 4) for _ in x]
    return x, gaps


def literals(cli, cwd, case):
    """The B-bit tap literals, as the hardware holds them."""
    # Without --data-bits and the rate change, which --report does not take.
    p = run([cli, *fir_options(case)[:-4], "--report", "--format", "dec"], cwd)
    if p.returncode not in (0, 5):
        raise RuntimeError("vantrel-cli fir --report exit %d: %s" % (p.returncode, p.stderr))
    b = case[4]
    high, low = (1 << (b - 1)) - 1, -(1 << (b - 1))
    values = [int(m.group(1)) for m in re.finditer(r"^h\[\s*\d+\] =\s*(-?\d+)$", p.stdout, re.M)]
    return [min(max(v, low), high) for v in values]


def reference(c, x, case):
    """scipy's upfirdn of the literals, floor-shifted by B - 1 and saturated to D bits, cut to
    the outputs the samples give (one per factor samples, or factor per sample)."""
    kind, factor, _, _, b, d, _ = case
    up, down = (factor, 1) if kind == "interpolate" else (1, factor)
    # upfirdn sums in double precision, exact below 2^53: the samples go in as their high and
    # low 12 bits (each sum then stays below 2^31 * 2^12 * 2^9), joined again as integers.
    ci = np.array(c, dtype=np.float64)
    high_part = signal.upfirdn(ci, np.array([v >> 12 for v in x], dtype=np.float64), up, down)
    low_part = signal.upfirdn(ci, np.array([v & 4095 for v in x], dtype=np.float64), up, down)
    y = [int(round(h)) * 4096 + int(round(lo)) for h, lo in zip(high_part, low_part)]
    want = len(x) * factor if kind == "interpolate" else (len(x) + factor - 1) // factor
    y = list(y[:want]) + [0] * max(0, want - len(y))
    high, low = (1 << (d - 1)) - 1, -(1 << (d - 1))
    return [min(max(int(v) >> (b - 1), low), high) for v in y]


CLOCKS = re.compile(r"polyphase(?: folded)?, (\d+) multipliers?, (\d+) clocks per")


def model(cli, cwd, case, x, hdl_option, hdl_file, arch=()):
    """Writes the wave and the filter; returns the model's outputs and the header's clocks per
    job, or raises with the reason."""
    with open(os.path.join(cwd, "wave.txt"), "w") as f:
        f.write("\n".join(str(v) for v in x) + "\n")
    p = run([cli, *fir_options(case), "--user", "wave.txt", hdl_option, hdl_file, *arch], cwd)
    if p.returncode not in (0, 5):
        raise RuntimeError("vantrel-cli fir exit %d: %s" % (p.returncode, p.stderr))
    lines = p.stdout.splitlines()
    at = next(i for i, line in enumerate(lines) if line.startswith("outputs "))
    outputs = [int(line.split()[1]) for line in lines[at + 1:]]
    with open(os.path.join(cwd, hdl_file)) as f:
        clocks = int(CLOCKS.search(f.read()).group(2))
    return outputs, clocks


def write_stimulus(cwd, x, gaps):
    with open(os.path.join(cwd, "stim.txt"), "w") as f:
        for gap, v in zip(gaps, x):
            f.write("%d %d\n" % (gap, v))


def drain_clocks(case):
    return 2 * case[3] + 4 * case[1] + 40


def vhdl_testbench(case):
    d = case[5]
    return f"""library ieee;
use ieee.std_logic_1164.all;
use ieee.numeric_std.all;
use std.textio.all;

entity tb is
end entity tb;

architecture sim of tb is
  signal clk, din_valid, din_ready, dout_valid : std_logic := '0';
  signal rst : std_logic := '1';
  signal din, dout : std_logic_vector({d - 1} downto 0) := (others => '0');
  signal done : boolean := false;
  signal clocks : integer := 0;
begin
  dut : entity work.{entity(case)} port map (clk, rst, din_valid, din_ready, din, dout_valid, dout);

  clock : process
  begin
    while not done loop
      clk <= '0'; wait for 5 ns;
      clk <= '1'; wait for 5 ns;
    end loop;
    wait;
  end process;

  stim : process
    file fin : text open read_mode is "stim.txt";
    variable l : line;
    variable gap, v : integer;
  begin
    rst <= '1';
    wait until rising_edge(clk);
    wait until rising_edge(clk);
    rst <= '0';
    while not endfile(fin) loop
      readline(fin, l);
      read(l, gap);
      read(l, v);
      for i in 1 to gap loop
        din_valid <= '0';
        wait until rising_edge(clk);
      end loop;
      din_valid <= '1';
      din <= std_logic_vector(to_signed(v, {d}));
      loop
        wait until rising_edge(clk);
        exit when din_ready = '1';
      end loop;
    end loop;
    din_valid <= '0';
    for i in 1 to {drain_clocks(case)} loop
      wait until rising_edge(clk);
    end loop;
    done <= true;
    wait;
  end process;

  monitor : process (clk)
    file fout : text open write_mode is "out.txt";
    variable l : line;
  begin
    if rising_edge(clk) then
      clocks <= clocks + 1;
      if rst = '0' and din_valid = '1' and din_ready = '1' then
        write(l, string'("T "));
        write(l, clocks);
        writeline(fout, l);
      end if;
      if dout_valid = '1' then
        write(l, string'("O "));
        write(l, clocks);
        write(l, string'(" "));
        write(l, to_integer(signed(dout)));
        writeline(fout, l);
      end if;
    end if;
  end process;
end architecture sim;
"""


def verilog_testbench(case):
    d = case[5]
    return f"""`timescale 1ns/1ps
module tb;
  reg clk = 0, rst = 1, din_valid = 0;
  reg signed [{d - 1}:0] din = 0;
  wire din_ready, dout_valid;
  wire signed [{d - 1}:0] dout;
  integer fin, fout, gap, v, i, got;
  integer clocks = 0;

  {entity(case)} dut (.clk(clk), .rst(rst), .din_valid(din_valid), .din_ready(din_ready),
    .din(din), .dout_valid(dout_valid), .dout(dout));

  always #5 clk = ~clk;

  always @(posedge clk) begin
    if (!rst && din_valid && din_ready) $fdisplay(fout, "T %0d", clocks);
    if (dout_valid) $fdisplay(fout, "O %0d %0d", clocks, dout);
    clocks <= clocks + 1;
  end

  initial begin
    fin = $fopen("stim.txt", "r");
    fout = $fopen("out.txt", "w");
    @(posedge clk); @(posedge clk);
    #1 rst = 0;
    got = $fscanf(fin, "%d %d\\n", gap, v);
    while (got == 2) begin
      for (i = 0; i < gap; i = i + 1) begin
        din_valid = 0;
        @(posedge clk); #1;
      end
      din_valid = 1;
      din = v;
      @(posedge clk);
      while (!din_ready) @(posedge clk);
      #1;
      got = $fscanf(fin, "%d %d\\n", gap, v);
    end
    din_valid = 0;
    for (i = 0; i < {drain_clocks(case)}; i = i + 1) @(posedge clk);
    #1 $fclose(fout);
    $finish;
  end
endmodule
"""


def read_trace(cwd):
    """The clocks samples were taken at, and the outputs."""
    taken, outputs = [], []
    path = os.path.join(cwd, "out.txt")
    if os.path.exists(path):
        with open(path) as f:
            for line in f:
                words = line.split()
                if words and words[0] == "T":
                    taken.append(int(words[1]))
                elif words and words[0] == "O":
                    outputs.append(int(words[2]))
    return taken, outputs


def compare(name, got, want):
    if got == want:
        return None
    bad = next((i for i, (a, b) in enumerate(zip(got, want)) if a != b), min(len(got), len(want)))
    return "output %d: %s want %s (%d of %d)" % (
        bad, got[bad] if bad < len(got) else None, want[bad] if bad < len(want) else None,
        len(got), len(want))


def check_rate(case, taken, clocks):
    """At full rate: the factor samples of a decimator's job within `clocks` clocks of each
    other's start, an interpolator's samples `clocks` apart at most."""
    kind, factor = case[0], case[1]
    step = factor if kind == "decimate" else 1
    for i in range(step, len(taken), step):
        if taken[i] - taken[i - step] > clocks:
            return "samples %d and %d taken %d clocks apart, bound %d" % (
                i - step, i, taken[i] - taken[i - step], clocks)
    return None


def run_case(cli, cwd, case, full_rate, seed, hdl_option, hdl_file, testbench_file, testbench,
             simulate, arch=()):
    """One simulation; None when it passed, otherwise why not. `arch`: the architecture
    options."""
    x, gaps = stimulus(case, full_rate, seed)
    try:
        want, clocks = model(cli, cwd, case, x, hdl_option, hdl_file, arch)
        c = literals(cli, cwd, case)
    except RuntimeError as error:
        return str(error)
    scipy_want = reference(c, x, case)
    if want != scipy_want:
        return "the model against scipy upfirdn: " + compare("model", want, scipy_want)
    write_stimulus(cwd, x, gaps)
    with open(os.path.join(cwd, testbench_file), "w") as f:
        f.write(testbench)
    error = simulate()
    if error:
        return error
    taken, got = read_trace(cwd)
    if len(taken) != len(x):
        return "%d of %d samples taken" % (len(taken), len(x))
    error = compare("hdl", got, want)
    if error is None and full_rate:
        error = check_rate(case, taken, clocks)
    return error
