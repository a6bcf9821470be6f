"""Shared steps of the CIC simulator checks: a random input with random din_valid gaps (or none,
at full rate), the model's outputs from `vantrel-cli cic --user`, the generated filter, and a
testbench in the language that replays the stimulus through the handshake and lists every dout
taken where dout_valid is 1.

Stimulus file: one line per sample, "GAP VALUE": GAP idle clocks (din_valid 0) before the sample
is offered; the sample is held until the clock edge where din_ready is 1."""
import os
import random
import subprocess

# (interpolate, S, R, DL, D): S 1 to 8, R up to 1024, DL 1 and 2.
CASES = [
    (False, 1, 2, 1, 8), (False, 2, 3, 2, 12), (False, 3, 1024, 1, 16), (False, 4, 32, 1, 16),
    (False, 5, 10, 2, 24), (False, 6, 7, 1, 4), (False, 7, 64, 2, 18), (False, 8, 1024, 2, 24),
    (False, 8, 2, 1, 10),
    (True, 1, 2, 1, 8), (True, 2, 7, 2, 4), (True, 3, 5, 2, 12), (True, 4, 32, 1, 16),
    (True, 6, 100, 1, 20), (True, 8, 1024, 2, 24),
]

# Decimators with pruned registers (--prune): bit-exact against the pruned model.
PRUNED_CASES = [
    (False, 1, 2, 1, 8), (False, 3, 16, 2, 12), (False, 4, 25, 1, 16), (False, 4, 32, 1, 16),
    (False, 6, 7, 1, 4), (False, 8, 1024, 2, 24),
]


# Decimators whose adders work in pipelined halves (--pipeline): bit-exact against the model.
PIPELINED_CASES = [
    (False, 1, 2, 1, 8), (False, 2, 3, 2, 12), (False, 4, 32, 1, 16), (False, 5, 10, 2, 24),
    (False, 6, 7, 1, 4), (False, 8, 1024, 2, 24),
]

# Testbench pairs: (case, prune) whose testbench must pass on its own filter and fail on the
# other's (same ports: the same data bits).
TESTBENCH_PAIRS = [
    (((False, 3, 8, 1, 12), False), ((False, 3, 8, 2, 12), False)),
    (((True, 2, 5, 1, 10), False), ((True, 3, 5, 1, 10), False)),
    (((False, 4, 32, 1, 16), True), ((False, 4, 32, 1, 16), False)),
]


def run(cmd, cwd):
    return subprocess.run(cmd, cwd=cwd, capture_output=True, text=True)


def stimulus(case, full_rate, seed):
    interpolate, s, r, dl, d = case
    rng = random.Random(seed)
    low, high = -(1 << (d - 1)), (1 << (d - 1)) - 1
    n = 24 if interpolate else r * 24 + rng.randrange(r)
    x = [high] * (n // 4) + [low] * (n // 4)
    x += [rng.randint(low, high) for _ in range(n - len(x))]
    gaps = [0 if full_rate or rng.random() < 0.5 else rng.randint(1, 4) for _ in x]
    return x, gaps


def variant_name(prune):
    return " pruned" if prune is True else " pipelined" if prune == "--pipeline" else ""


def cic_options(case, prune=False):
    """prune: False, True (--prune) or the option of another variant ("--pipeline")."""
    interpolate, s, r, dl, d = case
    variant = "--prune" if prune is True else prune
    return ["--interpolate" if interpolate else "--decimate", str(r), "--stages", str(s),
            "--delay", str(dl), "--data-bits", str(d)] + ([variant] if variant else [])


def model(cli, cwd, case, x, hdl_option, hdl_file, prune=False):
    """Writes the wave and the filter; returns the model's outputs, or raises with the reason."""
    with open(os.path.join(cwd, "wave.txt"), "w") as f:
        f.write("\n".join(str(v) for v in x) + "\n")
    p = run([cli, "cic", *cic_options(case, prune), "--user", "wave.txt", hdl_option, hdl_file],
            cwd)
    if p.returncode != 0:
        raise RuntimeError("vantrel-cli cic exit %d: %s" % (p.returncode, p.stderr))
    lines = p.stdout.splitlines()
    at = next(i for i, line in enumerate(lines) if line.startswith("outputs "))
    return [int(line.split()[1]) for line in lines[at + 1:]]


def write_filter(cli, cwd, case, prune, option, path):
    """Writes the filter (--vhdl or --verilog, or --testbench) of the case; raises on failure."""
    p = run([cli, "cic", *cic_options(case, prune), option, path], cwd)
    if p.returncode != 0:
        raise RuntimeError("vantrel-cli cic exit %d: %s" % (p.returncode, p.stderr))


def write_stimulus(cwd, x, gaps):
    with open(os.path.join(cwd, "stim.txt"), "w") as f:
        for gap, v in zip(gaps, x):
            f.write("%d %d\n" % (gap, v))


def drain_clocks(case):
    interpolate, s, r, dl, d = case
    return 4 * s + 20 + (2 * r if interpolate else 0)


def vhdl_testbench(case, entity):
    d = case[4]
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
begin
  dut : entity work.{entity} port map (clk, rst, din_valid, din_ready, din, dout_valid, dout);

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
    if rising_edge(clk) and dout_valid = '1' then
      write(l, to_integer(signed(dout)));
      writeline(fout, l);
    end if;
  end process;
end architecture sim;
"""


def verilog_testbench(case, module):
    d = case[4]
    return f"""`timescale 1ns/1ps
module tb;
  reg clk = 0, rst = 1, din_valid = 0;
  reg signed [{d - 1}:0] din = 0;
  wire din_ready, dout_valid;
  wire signed [{d - 1}:0] dout;
  integer fin, fout, gap, v, i, got;

  {module} dut (.clk(clk), .rst(rst), .din_valid(din_valid), .din_ready(din_ready), .din(din),
             .dout_valid(dout_valid), .dout(dout));

  always #5 clk = ~clk;

  always @(posedge clk)
    if (dout_valid) $fdisplay(fout, "%0d", dout);

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


def read_outputs(cwd):
    path = os.path.join(cwd, "out.txt")
    if not os.path.exists(path):
        return []
    with open(path) as f:
        return [int(line) for line in f if line.strip()]


def compare(name, got, want):
    if got == want:
        print("ok   %s: %d outputs" % (name, len(got)))
        return 0
    bad = next((i for i, (a, b) in enumerate(zip(got, want)) if a != b), min(len(got), len(want)))
    print("FAIL %s: output %d: %s want %s (%d of %d)" % (
        name, bad, got[bad] if bad < len(got) else None, want[bad] if bad < len(want) else None,
        len(got), len(want)))
    return 1
