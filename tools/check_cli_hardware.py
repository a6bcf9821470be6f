#!/usr/bin/env python3
"""The hardware options of vantrel-cli through the real program, without running the tools:
out-of-range --multipliers and --clock are refused with the dialog's message (exit status 2),
the options that need --vhdl, --testbench or --hw-report, and a run without the synthesis tools
on PATH, which names the Debian packages and exits with status 4. Then --hw-report over stand-in
tools that misbehave: one that sleeps is stopped by --hw-timeout and by SIGTERM with what it
started, a TMPDIR naming no folder, nan and negative figures, a huge one-line log and a relative
PATH entry; no work folder, ABC folder or history file is left anywhere.

usage: check_cli_hardware.py PATH/TO/vantrel-cli
"""
import os
import signal
import subprocess
import sys
import tempfile
import time

CLI = os.path.abspath(sys.argv[1])
problems = []

FIR = ["fir", "--taps", "15", "--edges", "200,300", "--quantize", "12", "--data-bits", "10"]

with tempfile.TemporaryDirectory() as work:
    empty_path = os.path.join(work, "bin")
    os.mkdir(empty_path)
    # (arguments, PATH override, exit status, part of standard error)
    TABLE = [
        (FIR + ["--hw-report", "--multipliers", "0"], None, 2,
         "--multipliers: Please enter an integer between 1 and 64."),
        (FIR + ["--vhdl", os.path.join(work, "f.vhd"), "--multipliers", "65"], None, 2,
         "--multipliers: Please enter an integer between 1 and 64."),
        (FIR + ["--hw-report", "--clock", "0"], None, 2,
         "--clock: Please enter a number above 0 and at most 1000."),
        (FIR + ["--hw-report", "--clock", "1.5e9"], None, 2,
         "--clock: Please enter a number above 0 and at most 1000."),
        (FIR + ["--hw-report", "--clock", "fast"], None, 2, "--clock: Please enter a number."),
        (FIR + ["--hw-report", "--arch", "systolic"], None, 2,
         "--arch: expected serial, folded, parallel or auto"),
        (FIR + ["--hw-report", "--device", "ecp5"], None, 2, "--device: expected up5k or hx8k"),
        (["iir", "--quantize", "12", "--hw-report"], None, 2, "--hw-report needs --data-bits D"),
        (["fir", "--data-bits", "10", "--hw-report"], None, 2, "--quantize B is needed"),
        (["fir", "--arch", "folded"], None, 2,
         "--arch needs --vhdl, --testbench or --hw-report"),
        (FIR + ["--vhdl", os.path.join(work, "g.vhd"), "--device", "hx8k"], None, 2,
         "--device needs --hw-report"),
        # No tool on PATH: the packages to install, and exit status 4.
        (FIR + ["--hw-report"], empty_path, 4,
         "install the Debian packages ghdl yosys nextpnr-ice40"),
    ]
    for args, path, status, text in TABLE:
        env = dict(os.environ)
        if path is not None:
            env["PATH"] = path
        run = subprocess.run([CLI] + args, capture_output=True, text=True, env=env, cwd=work)
        if run.returncode != status or text not in run.stderr:
            problems.append("%s: exit %d, stderr %r (expected %d and %r)"
                            % (" ".join(args), run.returncode, run.stderr.strip(), status, text))
        elif run.stdout:
            problems.append("%s: printed %r on a refusal" % (" ".join(args), run.stdout[:80]))

# ---- Stand-in tools ------------------------------------------------------------------------------
# One script plays ghdl, yosys and nextpnr-ice40 by its name; FAKE_TOOL_MODE makes it misbehave.
# Like the real yosys it leaves an ABC folder in $TMPDIR and a history in $HOME.
FAKE_TOOL = r"""#!/bin/sh
mode=${FAKE_TOOL_MODE:-ok}
case "$(basename "$0")" in
ghdl)
  [ "$1" = --synth ] && echo "module firfilter(input clk); endmodule"
  exit 0 ;;
yosys)
  mkdir -p "$TMPDIR/yosys-abc-fake" && echo x > "$TMPDIR/yosys-abc-fake/input.blif"
  echo synth_ice40 > "$HOME/.yosys_history"
  if [ "$mode" = sleep ]; then
    sleep 120 &
    echo $! > "$FAKE_PID_FILE"
    wait
  fi
  if [ "$mode" = hugelog ]; then
    head -c 30000000 /dev/zero | tr '\0' x >&2
    exit 1
  fi
  printf '   Number of cells: 9\n     SB_DFF 3\n     SB_LUT4 224\n     SB_MAC16 3\n'
  exit 0 ;;
nextpnr-ice40)
  used=230; fmax=66.49; seed=0; freq=none
  while [ $# -gt 0 ]; do
    [ "$1" = --seed ] && seed=$2
    [ "$1" = --freq ] && freq=$2
    shift
  done
  echo "$seed $freq" >> "$FAKE_RUNS_FILE"
  [ "$mode" = negative ] && used=-5
  [ "$mode" = nan ] && fmax=nan
  [ "$mode" = seeds ] && fmax=$((50 + 4 * seed))
  [ "$mode" = slow ] && fmax=30.5
  [ "$mode" = noseed ] && [ "$seed" = 2 ] && exit 1
  printf 'Info: Device utilisation:\nInfo: \t ICESTORM_LC: %s/ 5280 4%%\n' "$used"
  printf 'Info: \t ICESTORM_DSP: 3/ 8 37%%\n\n'
  printf "Info: Max frequency for clock 'clk': %s MHz (PASS at 12.00 MHz)\n" "$fmax"
  exit 0 ;;
esac
exit 1
"""


def process_gone(pid):
    for _ in range(100):
        try:
            with open(f"/proc/{pid}/stat") as f:
                if f.read().split(") ", 1)[1].startswith("Z"):
                    return True
        except (FileNotFoundError, IndexError):
            return True
        time.sleep(0.05)
    return False


with tempfile.TemporaryDirectory() as work:
    bin_dir, home, tmp = (os.path.join(work, name) for name in ("bin", "home", "tmp"))
    for folder in (bin_dir, home, tmp):
        os.mkdir(folder)
    with open(os.path.join(bin_dir, "fake"), "w") as f:
        f.write(FAKE_TOOL)
    os.chmod(os.path.join(bin_dir, "fake"), 0o755)
    for tool in ("ghdl", "yosys", "nextpnr-ice40"):
        os.symlink("fake", os.path.join(bin_dir, tool))
    pid_file = os.path.join(work, "pid")
    base_env = dict(os.environ, PATH=bin_dir + ":/usr/bin:/bin", HOME=home, TMPDIR=tmp,
                    FAKE_PID_FILE=pid_file, FAKE_RUNS_FILE=os.path.join(work, "nextpnr-runs"))
    a_file = os.path.join(work, "plain-file")
    open(a_file, "w").close()

    def leftovers():
        return [os.path.join(d, n) for d in (home, tmp) for n in os.listdir(d)]

    # (label, extra arguments, environment changes, exit status, part of standard error)
    RUNS = [
        ("ok", [], {}, 0, ""),
        ("relative PATH", [], {"PATH": "bin:/usr/bin:/bin"}, 0, ""),
        ("timeout", ["--hw-timeout", "1"], {"FAKE_TOOL_MODE": "sleep"}, 4,
         "took longer than 1 seconds (--hw-timeout)"),
        ("nan", [], {"FAKE_TOOL_MODE": "nan"}, 4, "reported an Fmax that cannot be"),
        ("negative", [], {"FAKE_TOOL_MODE": "negative"}, 4,
         "reported a utilisation that cannot be"),
        ("huge log", [], {"FAKE_TOOL_MODE": "hugelog"}, 4, "bytes left out]"),
        ("missing TMPDIR", [], {"TMPDIR": os.path.join(work, "none")}, 4,
         "the temporary folder (TMPDIR)"),
        ("TMPDIR a file", [], {"TMPDIR": a_file}, 4, "the temporary folder (TMPDIR)"),
        ("timeout 0", ["--hw-timeout", "0"], {}, 2, "--hw-timeout: Please enter a number"),
        # Three seeds by default, the median reported and the spread on standard error; the
        # placement always held to the clock (48 MHz unless typed), which decides the verdict.
        ("seeds", [], {"FAKE_TOOL_MODE": "seeds"}, 0,
         "fmax over 3 seeds: median 58.00 MHz, from 54.00 to 62.00 MHz (-6.9 % .. +6.9 %)"),
        ("one seed", ["--seeds", "1"], {"FAKE_TOOL_MODE": "seeds"}, 0,
         "fmax of seed 1: 54.00 MHz"),
        ("fill", [], {}, 0, "fills 230 of 5280 logic cells (4 %), 3 of 8 DSP blocks (38 %)"),
        ("default clock missed", [], {"FAKE_TOOL_MODE": "slow"}, 6,
         "misses the 48.00 MHz clock: Fmax 30.50 MHz"),
        ("typed clock met", ["--clock", "30e6"], {"FAKE_TOOL_MODE": "slow"}, 0, "fmax over 3"),
        ("a seed fails", [], {"FAKE_TOOL_MODE": "noseed"}, 4, "nextpnr-ice40 failed"),
        ("seeds 0", ["--seeds", "0"], {}, 2, "--seeds: Please enter an integer between 1 and 15."),
    ]
    for label, extra, env_change, status, text in RUNS:
        env = dict(base_env, **env_change)
        start = time.monotonic()
        run = subprocess.run([CLI] + FIR + ["--hw-report"] + extra, capture_output=True,
                             text=True, env=env, cwd=work, timeout=120)
        took = time.monotonic() - start
        runs_file = os.path.join(work, "nextpnr-runs")
        if os.path.exists(runs_file):
            with open(runs_file) as f:
                runs = sorted(f.read().split("\n")[:-1])
            os.remove(runs_file)
            # Every placement gets a target; the seeds are 1..N.
            seeds = int(extra[extra.index("--seeds") + 1]) if "--seeds" in extra else 3
            clock = "30.000000" if "30e6" in extra else "48.000000"
            if status in (0, 6) and runs != [f"{s} {clock}" for s in range(1, seeds + 1)]:
                problems.append(f"{label}: nextpnr runs {runs}")
        if run.returncode != status or text not in run.stderr:
            problems.append(f"{label}: exit {run.returncode}, stderr {run.stderr[-300:]!r} "
                            f"(expected {status} and {text!r})")
        if len(run.stderr) > 5000:
            problems.append(f"{label}: {len(run.stderr)} bytes on standard error")
        if status == 0 and "\nluts 224\nlogic_cells 230\n" not in run.stdout:
            problems.append(f"{label}: no report: {run.stdout[:80]!r}")
        if took > 20:
            problems.append(f"{label}: took {took:.0f} s")
        if leftovers():
            problems.append(f"{label}: left {leftovers()}")
            for path in leftovers():
                subprocess.run(["rm", "-rf", path])
        if os.path.exists(pid_file):
            with open(pid_file) as f:
                pid = int(f.read())
            if not process_gone(pid):
                problems.append(f"{label}: the tool's process {pid} still runs")
                os.kill(pid, signal.SIGKILL)
            os.remove(pid_file)
    # --hw-timeout only with --hw-report.
    run = subprocess.run([CLI] + FIR + ["--hw-timeout", "5"], capture_output=True, text=True)
    if run.returncode != 2 or "--hw-timeout needs --hw-report" not in run.stderr:
        problems.append(f"--hw-timeout alone: exit {run.returncode}, {run.stderr!r}")

    # SIGTERM and Ctrl-C (SIGINT) stop the tools, remove the folder and end the program by the
    # signal.
    for sig in (signal.SIGTERM, signal.SIGINT):
        proc = subprocess.Popen([CLI] + FIR + ["--hw-report"], stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, text=True,
                                env=dict(base_env, FAKE_TOOL_MODE="sleep"), cwd=work)
        for _ in range(200):
            if os.path.exists(pid_file):
                break
            time.sleep(0.05)
        time.sleep(0.2)
        proc.send_signal(sig)
        try:
            out, err = proc.communicate(timeout=20)
        except subprocess.TimeoutExpired:
            proc.kill()
            out, err = proc.communicate()
            problems.append(f"{sig.name}: the program did not end")
        if proc.returncode != -sig or "interrupted" not in err:
            problems.append(f"{sig.name}: exit {proc.returncode}, stderr {err!r}")
        if leftovers():
            problems.append(f"{sig.name}: left {leftovers()}")
        if os.path.exists(pid_file):
            with open(pid_file) as f:
                pid = int(f.read())
            if not process_gone(pid):
                problems.append(f"{sig.name}: the tool's process {pid} still runs")
                os.kill(pid, signal.SIGKILL)
            os.remove(pid_file)
        else:
            problems.append(f"{sig.name}: the stand-in yosys never ran")

for p in problems:
    print(p)
print("%d problems" % len(problems))
sys.exit(1 if problems else 0)
