#!/usr/bin/env bash
# Takes a PNG of the running window under a virtual X server, for looking at the layout.
# Usage: tools/screenshot.sh [path/to/vantrel] [output.png]   (default output: /tmp/vantrel.png)
# Needs xvfb, xauth and the Qt 6 development packages (tools/install-deps.sh installs them).
set -euo pipefail
program=${1:-build/vantrel}
output=${2:-/tmp/vantrel.png}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A small grabber: the whole screen into a PNG, after a short wait for the first plot.
cat > "$work/grab.cpp" <<'CPP'
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QTimer::singleShot(100, [&] {
        QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromLocal8Bit(argv[1]));
        app.quit();
    });
    return app.exec();
}
CPP
# shellcheck disable=SC2046
g++ -std=c++17 -fPIC "$work/grab.cpp" -o "$work/grab" $(pkg-config --cflags --libs Qt6Gui)

cat > "$work/run.sh" <<RUN
#!/bin/sh
"$program" &
pid=\$!
sleep 2
"$work/grab" "$output"
kill \$pid
RUN
chmod +x "$work/run.sh"
xvfb-run -a -s "-screen 0 1024x768x24" "$work/run.sh"
echo "$output"
