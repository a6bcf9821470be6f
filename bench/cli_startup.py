#!/usr/bin/env python3
"""CPU time of whole vantrel-cli runs against a C++ program that prints one line (built here
with the system's g++), each the mean over many runs: what a script that sweeps designs pays per
call. Prints one line per command with its CPU milliseconds and the ratio.

usage: bench/cli_startup.py PATH/TO/vantrel-cli [RUNS]
"""
import os
import resource
import subprocess
import sys
import tempfile

CLI = os.path.abspath(sys.argv[1])
RUNS = int(sys.argv[2]) if len(sys.argv) > 2 else 300
COMMANDS = [["fir", "--taps", "31"], ["iir", "--sections", "4"], ["--version"],
            ["fir", "--taps", "31", "--quantize", "16", "--report", "--format", "hex"]]


def cpu_ms(command):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    for _ in range(RUNS):
        subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    spent = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    return spent / RUNS * 1000.0


with tempfile.TemporaryDirectory() as work:
    source = os.path.join(work, "hello.cpp")
    with open(source, "w") as f:
        f.write('#include <cstdio>\nint main() { std::puts("x"); }\n')
    hello = os.path.join(work, "hello")
    subprocess.run(["g++", "-O2", source, "-o", hello], check=True)
    base = cpu_ms([hello])
    print("%-60s %7.2f ms" % ("C++ program printing one line", base))
    for args in COMMANDS:
        spent = cpu_ms([CLI] + args)
        print("%-60s %7.2f ms  %4.1fx" % ("vantrel-cli " + " ".join(args), spent, spent / base))
