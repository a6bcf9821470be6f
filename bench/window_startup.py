#!/usr/bin/env python3
"""Wall time from launching the window program to its first plot on the screen, under a virtual
X server (Xvfb): the median and the best of many launches of vantrel_first_plot (the program's
start as vantrel runs it, ending once the first plot is drawn), beside a Qt program that only
opens an empty window, built here, for the share Qt itself takes.

usage: bench/window_startup.py PATH/TO/vantrel_first_plot [RUNS]
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

PROBE = os.path.abspath(sys.argv[1])
RUNS = int(sys.argv[2]) if len(sys.argv) > 2 else 30


def launches(command, env):
    times = []
    for _ in range(RUNS):
        start = time.perf_counter()
        subprocess.run(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       check=True)
        times.append(time.perf_counter() - start)
    return times


def empty_window(work):
    """A Qt Widgets program that shows an empty window and exits once it is exposed."""
    source = os.path.join(work, "empty.cpp")
    with open(source, "w") as f:
        f.write("#include <QApplication>\n#include <QWidget>\n#include <QTimer>\n"
                "int main(int c, char** v) { QApplication a(c, v); QWidget w; w.resize(740, 600);"
                " w.show(); QTimer::singleShot(0, &a, &QApplication::quit); return a.exec(); }\n")
    program = os.path.join(work, "empty")
    flags = subprocess.run(["pkg-config", "--cflags", "--libs", "Qt6Widgets"], check=True,
                           capture_output=True, text=True).stdout.split()
    subprocess.run(["g++", "-O2", "-fPIC", source, "-o", program] + flags, check=True)
    return program


def main():
    if shutil.which("Xvfb") is None:
        sys.exit("Xvfb is needed (apt-get install xvfb)")
    with tempfile.TemporaryDirectory() as work:
        display = ":%d" % (90 + os.getpid() % 100)
        server = subprocess.Popen(["Xvfb", display, "-screen", "0", "1280x1024x24", "-nolisten",
                                   "tcp"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            time.sleep(1.0)
            env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb", HOME=work)
            rows = [("vantrel: launch to the first plot", launches([PROBE], env))]
            try:
                rows.append(("Qt: an empty window shown", launches([empty_window(work)], env)))
            except (OSError, subprocess.CalledProcessError):
                pass
            for name, times in rows:
                print("%-40s median %6.1f ms   best %6.1f ms   (%d launches)" %
                      (name, statistics.median(times) * 1000, min(times) * 1000, len(times)))
        finally:
            server.terminate()
            server.wait()


main()
