"""Shared steps of the polyphase testbench checks: `vantrel-cli fir ... --decimate M |
--interpolate L --testbench FILE` must write a testbench that passes on its own filter (with
din_valid gaps and at full rate) and fails on the filter of another design of the same kind.

A pair is (own, other), each the `fir` options of one design; the testbench is always own's."""
import subprocess


def design(kind, factor, *options, bits=16, data_bits=12):
    return ["fir", *options, "--quantize", str(bits), "--data-bits", str(data_bits),
            "--" + kind, str(factor)]


def lowpass(taps, method="kaiser"):
    return ["--type", "lpf", "--fs", "8000", "--edges", "800,1200", "--taps", str(taps),
            "--method", method]


def bandpass(taps):
    return ["--type", "bpf", "--fs", "8000", "--edges", "800,1000,2000,2200", "--taps",
            str(taps), "--method", "remez"]


def halfband(taps):
    return ["--halfband", "--fs", "8000", "--edges", "1500", "--taps", str(taps)]


PAIRS = [
    # The README's band-pass by 8 against the same band-pass with two taps fewer.
    (design("decimate", 8, *bandpass(61)), design("decimate", 8, *bandpass(59))),
    (design("interpolate", 4, *lowpass(31), bits=12, data_bits=10),
     design("interpolate", 4, *lowpass(31, "remez"), bits=12, data_bits=10)),
    # Phases without a tap: an interpolator by 16 of 9 taps.
    (design("interpolate", 16, *lowpass(9), bits=8, data_bits=8),
     design("interpolate", 16, *lowpass(11), bits=8, data_bits=8)),
    (design("decimate", 2, *halfband(23)), design("decimate", 2, *halfband(27))),
    (design("interpolate", 2, *halfband(19), bits=18, data_bits=16),
     design("interpolate", 2, *halfband(23), bits=18, data_bits=16)),
    # Wide words: 32-bit literals, 24-bit data.
    (design("decimate", 3, *lowpass(40), bits=32, data_bits=24),
     design("decimate", 3, *lowpass(38), bits=32, data_bits=24)),
    # The folded hardware takes the same testbench.
    (design("decimate", 8, *bandpass(61)) + ["--arch", "folded", "--multipliers", "3"],
     design("decimate", 8, *bandpass(59)) + ["--arch", "folded", "--multipliers", "3"]),
    (design("interpolate", 4, *lowpass(31), bits=12, data_bits=10) + ["--arch", "folded",
                                                                     "--multipliers", "2"],
     design("interpolate", 4, *lowpass(31, "remez"), bits=12, data_bits=10) + [
         "--arch", "folded", "--multipliers", "2"]),
]


def run(cmd, cwd):
    return subprocess.run(cmd, cwd=cwd, capture_output=True, text=True)


def name_of(own):
    return " ".join(own[1:])


def write(cli, cwd, options, flag, path):
    p = run([cli, *options, flag, path], cwd)
    if p.returncode not in (0, 5):  # 5: literals saturated, the files are written
        raise RuntimeError("%s: exit %d\n%s" % (" ".join(options + [flag, path]), p.returncode,
                                              p.stderr[-1500:]))


def check_pair(cli, cwd_factory, own, other, hdl_flag, tb_path, filter_path, build, simulate,
               full_rate_args):
    """Generates own's testbench and, in turn, own's and other's filter; `build(cwd)` returns an
    error text or None, `simulate(cwd, extra)` the process. Returns the number of failures."""
    name = "testbench of " + name_of(own)
    failures = 0
    for filt, want_pass in ((own, True), (other, False)):
        with cwd_factory() as cwd:
            try:
                write(cli, cwd, own, "--testbench", tb_path)
                write(cli, cwd, filt, hdl_flag, filter_path)
            except RuntimeError as error:
                print("FAIL %s: %s" % (name, error))
                return 1
            error = build(cwd)
            if error:
                print("FAIL %s: %s" % (name, error))
                return 1
            for extra in ([], full_rate_args):
                p = simulate(cwd, extra)
                log = p.stdout + p.stderr
                passed = p.returncode == 0 and "PASS:" in log
                failed = p.returncode != 0 and "FAIL:" in log
                if (want_pass and not passed) or (not want_pass and not failed):
                    print("FAIL %s on %s filter %s: %s" % (
                        name, "its own" if want_pass else "another's", " ".join(extra),
                        log[-1500:]))
                    failures += 1
    if not failures:
        print("ok   %s: passes on its filter, fails on another's (gaps and full rate)" % name)
    return failures
