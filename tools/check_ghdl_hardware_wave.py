"""The hardware column of `vantrel-cli wave --hardware` against a GHDL run of the generated VHDL.

For one FIR and one IIR design: the filter is generated with --vhdl, and the wave command prints
"index input ideal hardware". A testbench written here feeds the input column, scaled as the
hardware receives it (x*(2^(D-1)-1)/50, rounded half away from zero, saturated to D bits), into
the generated filter and reports every output sample; each one times 50/(2^(D-1)-1) must equal
the hardware column. The overflow warning of a saturating design must name its section.

The coefficient multiplier K leaves the design with the taps: a FIR design with --mult 3, driven
by a user wave whose samples are whole D-bit steps, must give a hardware column within one step
(the output's truncation) of the ideal output, equal to GHDL's run of its VHDL, and its VHDL must
pass its own testbench.

Only the standard library and ghdl are needed."""
import math
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import ghdl_runner as g  # noqa: E402

# structure, design options, B, D, wave options
CASES = [
    ("fir", ["--type", "bpf", "--taps", "45", "--edges", "100,150,250,300"], 14, 12,
     ["--freq", "200"]),
    ("iir", ["--type", "lpf", "--sections", "3", "--cutoff", "150", "--ripple", "0.5"], 16, 12,
     ["--wave", "square", "--freq", "30"]),
]

TESTBENCH = """library ieee;
use ieee.std_logic_1164.all;
use ieee.numeric_std.all;

entity probe_tb is
end entity probe_tb;

architecture sim of probe_tb is
  constant data_bits : integer := {bits};
  type sample_array is array (0 to {last}) of integer;
  constant stimulus : sample_array := ({stimulus});
  signal clk : std_logic := '0';
  signal rst : std_logic := '1';
  signal din_valid : std_logic := '0';
  signal din_ready : std_logic;
  signal din : std_logic_vector(data_bits - 1 downto 0) := (others => '0');
  signal dout_valid : std_logic;
  signal dout : std_logic_vector(data_bits - 1 downto 0);
  signal running : boolean := true;
begin
  dut : entity work.{entity}
    port map (clk => clk, rst => rst, din_valid => din_valid, din_ready => din_ready,
              din => din, dout_valid => dout_valid, dout => dout);

  clk <= not clk after 5 ns when running else '0';

  watch : process (clk)
  begin
    if rising_edge(clk) and rst = '0' and dout_valid = '1' then
      report "OUT " & integer'image(to_integer(signed(dout))) severity note;
    end if;
  end process watch;

  drive : process
  begin
    for c in 1 to 3 loop
      wait until rising_edge(clk);
    end loop;
    rst <= '0';
    for i in stimulus'range loop
      din <= std_logic_vector(to_signed(stimulus(i), data_bits));
      din_valid <= '1';
      loop
        wait until rising_edge(clk);
        exit when din_ready = '1';
      end loop;
      din_valid <= '0';
    end loop;
    for c in 1 to 2000 loop
      wait until rising_edge(clk);
    end loop;
    running <= false;
    wait;
  end process drive;
end architecture sim;
"""


def scale(x, bits):
    """The testbench's scaling, written out here on its own."""
    full = 2 ** (bits - 1) - 1
    v = x * full / 50.0
    r = int(abs(v) + 0.5) * (1 if v >= 0 else -1)
    return max(-full - 1, min(full, r))


def case(cli, ghdl, structure, design, b, d, wave):
    with tempfile.TemporaryDirectory() as cwd:
        p = g.run([cli, structure] + design + ["--quantize", str(b), "--data-bits", str(d),
                                               "--vhdl", "filter.vhd"], cwd)
        if p.returncode != 0:
            return "vantrel-cli %s exited %d: %s" % (structure, p.returncode, p.stderr)
        p = g.run([cli, "wave", "--structure", structure] + design + wave +
                  ["--quantize", str(b), "--hardware", "--data-bits", str(d)], cwd)
        if p.returncode != 0:
            return "vantrel-cli wave exited %d: %s" % (p.returncode, p.stderr)
        rows = [line.split() for line in p.stdout.splitlines()]
        stimulus = [scale(float(r[1]), d) for r in rows]
        hardware = [float(r[3]) for r in rows]
        entity = "iirfilter" if structure == "iir" else "firfilter"
        with open(os.path.join(cwd, "probe.vhd"), "w") as f:
            f.write(TESTBENCH.format(bits=d, last=len(stimulus) - 1, entity=entity,
                                     stimulus=", ".join(map(str, stimulus))))
        ok, out = g.simulate(ghdl, cwd, ["filter.vhd", "probe.vhd"], "probe_tb")
        if not ok:
            return "simulation failed:\n" + out[-2000:]
        outputs = [int(line.rsplit("OUT ", 1)[1]) for line in out.splitlines() if "OUT " in line]
        if len(outputs) != len(hardware):
            return "%d outputs from GHDL, %d hardware samples" % (len(outputs), len(hardware))
        full = 2 ** (d - 1) - 1
        for i, (got, column) in enumerate(zip(outputs, hardware)):
            if abs(got * 50.0 / full - column) > 1e-9 * max(1.0, abs(column)):
                return "sample %d: GHDL %d (%.17g), hardware column %.17g" % (
                    i, got, got * 50.0 / full, column)
        if max(abs(h) for h in hardware) == 0:
            return "the hardware column is all zero"
    return None


# A low-pass whose taps stay below 1/3, so 3*h fits the B-bit literals; B, D.
MULTIPLIED = (["--type", "lpf", "--taps", "45", "--edges", "50,100", "--mult", "3"], 16, 16)


def exact_wave(d, amplitude=15.0):
    """A 60 Hz sine of the given nominal amplitude, each sample a whole D-bit step."""
    full = 2 ** (d - 1) - 1
    steps = [round(amplitude * full / 50.0 * math.sin(2 * math.pi * 60 * i / 1000.0))
             for i in range(700)]
    return "\n".join("%.12f" % (n * 50.0 / full) for n in steps) + "\n"


def multiplied_case(cli, ghdl):
    """K = 3: the hardware equals the ideal output within one step, and equals GHDL."""
    design, b, d = MULTIPLIED
    with tempfile.TemporaryDirectory() as cwd:
        wave = os.path.join(cwd, "wave.txt")
        with open(wave, "w") as f:
            f.write(exact_wave(d))
        error = g.sim_case(cli, ghdl, "fir", design + ["--quantize", str(b), "--data-bits", str(d),
                                                        "--user", wave])
        if error:
            return "own testbench: " + error
        error = case(cli, ghdl, "fir", design, b, d, ["--user", wave])
        if error:
            return error
        p = g.run([cli, "wave"] + design + ["--user", wave, "--quantize", str(b), "--hardware",
                                            "--data-bits", str(d)], cwd)
        rows = [[float(v) for v in line.split()] for line in p.stdout.splitlines()]
        step = 50.0 / (2 ** (d - 1) - 1)
        # The ideal output leaves its last sample at 0.
        worst = max(abs(r[3] - r[2]) for r in rows[:-1])
        if worst > step * (1 + 1e-6):
            return "hardware differs from the ideal output by %.6g (%.3f steps)" % (
                worst, worst / step)
        if max(abs(r[2]) for r in rows) < 10.0:
            return "the ideal output is too small to tell K = 3 from K = 1"
    return None


def main():
    cli, ghdl = g.tools_from_argv()
    status = g.run_cases("hardware wave", CASES, lambda c: case(cli, ghdl, *c))
    error = multiplied_case(cli, ghdl)
    print(("FAILED" if error else "ok    ") + " hardware wave with the multiplier 3" +
          ("\n" + error if error else ""))
    status |= 1 if error else 0
    # A narrow six-section low-pass driven by a square wave saturates its second section.
    p = g.run([cli, "wave", "--structure", "iir", "--type", "lpf", "--sections", "6", "--cutoff",
               "50", "--ripple", "1", "--wave", "square", "--freq", "10", "--quantize", "16",
               "--hardware", "--data-bits", "12"], ".")
    named = p.returncode == 0 and "Overflow: section 2 saturated to 16 bits" in p.stderr
    print(("ok    " if named else "FAILED") + " overflow names the section")
    return status | (0 if named else 1)


if __name__ == "__main__":
    sys.exit(main())
