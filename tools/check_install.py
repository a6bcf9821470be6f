#!/usr/bin/python3
"""Checks the installed tree: `cmake --install BUILD --prefix TMP` gives exactly the programs,
the VHDL templates (serial, folded and parallel), the manual page and bash completion of
vantrel-cli, the desktop entry, the icon and the AppStream metainfo; the desktop
entry and the metainfo pass desktop-file-validate and `appstreamcli validate --no-net` (when
those programs are present); `man -l` renders the manual page without a warning and it documents
every command and option the installed program's help lists; the completion script loads in
bash and completes commands, options and their words; and the installed vantrel-cli, run from
an unrelated folder with a PATH that leads nowhere near the build tree, writes VHDL from the
installed templates.

usage: check_install.py BUILD_DIR [CMAKE] [--no-gui]
  --no-gui   the build has no window program: expect vantrel-cli and the templates only
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

TEMPLATES = [name + extension
             for name in (["firfilter", "firfilter_folded", "firfilter_parallel",
                           "firfilter_decim", "firfilter_interp",
                           "firfilter_decim_folded", "firfilter_interp_folded",
                           "iirfilter_folded", "iirfilter_parallel"]
                          + ["iirfilter%d" % n for n in range(1, 9)])
             for extension in (".vhd", ".v")]
TEMPLATES += [name + extension
              for name in ("cic_decimator", "cic_decimator_pruned", "cic_decimator_pipelined",
                           "cic_interpolator")
              for extension in (".vhd", ".v")]
GUI_FILES = [
    "bin/vantrel",
    "share/applications/vantrel.desktop",
    "share/icons/hicolor/scalable/apps/vantrel.svg",
    "share/metainfo/org.vantrel.Vantrel.metainfo.xml",
    "share/mime/packages/vantrel.xml",
    # The plot renderer vantrel-cli loads for --plot alone.
    "lib/vantrel/libvantrel-render.so",
]
# Libraries a command-line run that draws nothing must not need.
GUI_LIBRARIES = ("libQt6Gui", "libQt6Widgets", "libQt6Svg", "libX11", "libxcb", "libEGL", "libGL",
                 "libOpenGL")
# A PATH with the system's programs only: neither the build tree nor the source tree.
SYSTEM_PATH = "/usr/bin:/bin"
MARKER = "-- installed-template-marker"


MAN_PAGE = "share/man/man1/vantrel-cli.1.gz"
COMPLETION = "share/bash-completion/completions/vantrel-cli"


def expected_files(gui):
    files = (["bin/vantrel-cli", MAN_PAGE, COMPLETION]
             + ["share/vantrel/templates/" + t for t in TEMPLATES])
    return sorted(files + (GUI_FILES if gui else []))


def installed_files(prefix):
    found = []
    for folder, _, names in os.walk(prefix):
        for name in names:
            found.append(os.path.relpath(os.path.join(folder, name), prefix))
    return sorted(found)


def desktop_entry(path):
    entry = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            if "=" in line and not line.startswith("#"):
                key, value = line.rstrip("\n").split("=", 1)
                entry[key] = value
    return entry


def check_desktop_files(prefix, problems):
    entry = desktop_entry(os.path.join(prefix, "share/applications/vantrel.desktop"))
    wanted = {"Name": "Vantrel", "GenericName": "Filter Designer", "Exec": "vantrel %f",
              "Icon": "vantrel", "Type": "Application"}
    for key, value in wanted.items():
        if entry.get(key) != value:
            problems.append("desktop entry: %s=%r, expected %r" % (key, entry.get(key), value))
    categories = entry.get("Categories", "").split(";")
    for category in ("Development", "Electronics", "Science"):
        if category not in categories:
            problems.append("desktop entry: Categories lacks " + category)
    validators = [
        ["desktop-file-validate", os.path.join(prefix, "share/applications/vantrel.desktop")],
        ["appstreamcli", "validate", "--no-net",
         os.path.join(prefix, "share/metainfo/org.vantrel.Vantrel.metainfo.xml")],
    ]
    for command in validators:
        if shutil.which(command[0]) is None:
            print("SKIPPED %s: not installed (Debian desktop-file-utils / appstream)" % command[0])
            continue
        p = subprocess.run(command, capture_output=True, text=True)
        if p.returncode != 0:
            problems.append("%s failed:\n%s%s" % (" ".join(command), p.stdout, p.stderr))
        else:
            print("ok     %s" % command[0])


# (arguments, template the VHDL comes from, entity name in the output)
VHDL_CASES = [
    (["fir", "--quantize", "16", "--vhdl", "f.vhd", "--data-bits", "12"],
     "firfilter.vhd", "entity firfilter is"),
    (["iir", "--sections", "2", "--quantize", "16", "--vhdl", "f.vhd", "--data-bits", "12"],
     "iirfilter2.vhd", "entity iirfilter is"),
    (["iir", "--type", "bpf", "--sections", "8", "--quantize", "20", "--vhdl", "f.vhd",
      "--data-bits", "16"],
     "iirfilter8.vhd", "entity iirfilter is"),
]


def check_installed_cli(prefix, problems):
    cli = os.path.join(prefix, "bin", "vantrel-cli")
    templates = os.path.join(prefix, "share", "vantrel", "templates")
    # Mark the installed templates, so the output shows which copy the search found: the
    # build tree's copy or one in the configure-time folder would lack the marker.
    for name in TEMPLATES:
        with open(os.path.join(templates, name), "a", encoding="utf-8") as f:
            f.write(MARKER + " " + name + "\n")
    env = dict(os.environ, PATH=SYSTEM_PATH)
    for args, template, entity in VHDL_CASES:
        with tempfile.TemporaryDirectory() as elsewhere:
            p = subprocess.run([cli] + args, cwd=elsewhere, env=env, capture_output=True,
                               text=True)
            label = "installed vantrel-cli " + " ".join(args)
            out = os.path.join(elsewhere, "f.vhd")
            if p.returncode != 0 or not os.path.isfile(out):
                problems.append("%s: exit %d, %s" % (label, p.returncode, p.stderr.strip()))
                continue
            with open(out, encoding="utf-8") as f:
                text = f.read()
            if MARKER + " " + template not in text:
                problems.append("%s: the VHDL does not come from the installed %s"
                                % (label, template))
            elif entity not in text:
                problems.append("%s: no '%s' in the VHDL" % (label, entity))
            else:
                print("ok     " + label)


def check_cli_libraries(prefix, gui, problems):
    """The installed vantrel-cli needs no GUI library; with the window built, it still draws."""
    cli = os.path.join(prefix, "bin", "vantrel-cli")
    p = subprocess.run(["readelf", "-d", cli], capture_output=True, text=True)
    needed = [line.split("[", 1)[1].rstrip("]") for line in p.stdout.splitlines()
              if "(NEEDED)" in line]
    gui_needed = [n for n in needed if n.startswith(GUI_LIBRARIES)]
    if p.returncode != 0 or not needed or gui_needed:
        problems.append("installed vantrel-cli needs %s (exit %d)" % (gui_needed or needed,
                                                                       p.returncode))
    else:
        print("ok     installed vantrel-cli needs no GUI library: " + " ".join(needed))
    if not gui:
        return
    with tempfile.TemporaryDirectory() as elsewhere:
        env = dict(os.environ, PATH=SYSTEM_PATH)
        out = os.path.join(elsewhere, "r.png")
        p = subprocess.run([cli, "fir", "--plot", "response", "--out", out], cwd=elsewhere,
                           env=env, capture_output=True, text=True)
        head = open(out, "rb").read(8) if os.path.isfile(out) else b""
        if p.returncode != 0 or head != b"\x89PNG\r\n\x1a\n":
            problems.append("installed vantrel-cli --plot: exit %d, %s" % (p.returncode,
                                                                         p.stderr.strip()))
        else:
            print("ok     installed vantrel-cli --plot draws through its renderer module")


def help_options(cli, command):
    p = subprocess.run([cli, "help", command], capture_output=True, text=True)
    return re.findall(r"^  (--[a-z-]+)", p.stdout, re.M)


COMMANDS = ["fir", "iir", "wave", "load", "open", "cic"]


def check_man_page(prefix, problems):
    if shutil.which("man") is None:
        print("SKIPPED man page: man is not installed (Debian man-db)")
        return
    page = os.path.join(prefix, MAN_PAGE)
    p = subprocess.run(["man", "--warnings", "-l", page], capture_output=True, text=True,
                       env=dict(os.environ, MANWIDTH="100", MAN_KEEP_FORMATTING=""))
    if p.returncode != 0 or p.stderr.strip():
        problems.append("man -l %s: exit %d\n%s" % (MAN_PAGE, p.returncode, p.stderr))
        return
    text = p.stdout
    cli = os.path.join(prefix, "bin", "vantrel-cli")
    version = subprocess.run([cli, "--version"], capture_output=True, text=True).stdout.split()
    missing = []
    if not version or ("vantrel " + version[-1]) not in text:
        missing.append("the version %s" % version)
    for command in COMMANDS:
        # A command's section runs from its heading to the next command's.
        match = re.search(r"^   vantrel-cli %s\b(.*?)(?=^   vantrel-cli |^[A-Z])" % command,
                          text, re.M | re.S)
        if not match:
            missing.append("the section of " + command)
            continue
        section = match.group(1)
        options = help_options(cli, command)
        if not options:
            missing.append("the options of %s (its help lists none)" % command)
        missing += ["%s %s" % (command, option) for option in options
                    if not re.search(r"^ +%s\b" % re.escape(option), section, re.M)]
    if missing:
        problems.append("the manual page lacks " + ", ".join(missing))
    else:
        print("ok     man -l renders vantrel-cli(1) with every command and option")


# (words on the command line, the last one being completed; what COMPREPLY must be)
COMPLETION_CASES = [
    (["vantrel-cli", "f"], ["fir"]),
    (["vantrel-cli", ""], ["fir", "iir", "wave", "load", "open", "cic", "help", "--help",
                          "--version"]),
    (["vantrel-cli", "fir", "--qu"], ["--quantize"]),
    (["vantrel-cli", "wave", "--sp"], ["--spectrum"]),
    (["vantrel-cli", "fir", "--sp"], []),  # a wave option only
    (["vantrel-cli", "iir", "--type", "b"], ["brf", "bpf"]),
    (["vantrel-cli", "fir", "--type", "h"], ["hpf", "hilbert"]),  # fir's own kinds
    (["vantrel-cli", "iir", "--type", "h"], ["hpf"]),
    (["vantrel-cli", "wave", "--type", "d"], []),
    (["vantrel-cli", "load", "--export-format", ""], ["coe", "mif", "csv", "json", "c"]),
    (["vantrel-cli", "help", "w"], ["wave"]),
    (["vantrel-cli", "fir", "--taps", ""], []),
    (["vantrel-cli", "load", "c"], ["coeffs.txt"]),  # a file name in the folder
    (["vantrel-cli", "fir", "--save-coeffs", "c"], ["coeffs.txt"]),
]


def check_completion(prefix, problems):
    script = os.path.join(prefix, COMPLETION)
    lines = ["source %s || exit 9" % script_quote(script),
             "complete -p vantrel-cli || exit 8"]
    for words, _ in COMPLETION_CASES:
        lines.append("COMP_WORDS=(%s); COMP_CWORD=%d; COMPREPLY=(); _vantrel_cli; "
                     "echo \"${COMPREPLY[*]}\"" % (" ".join(script_quote(w) for w in words),
                                                   len(words) - 1))
    with tempfile.TemporaryDirectory() as folder:
        open(os.path.join(folder, "coeffs.txt"), "w").close()
        p = subprocess.run(["bash", "--norc", "--noprofile", "-c", "\n".join(lines)],
                           capture_output=True, text=True, cwd=folder)
    out = p.stdout.split("\n")
    if p.returncode != 0 or not out or "-F _vantrel_cli vantrel-cli" not in out[0]:
        problems.append("the completion does not load in bash: exit %d\n%s%s"
                        % (p.returncode, p.stdout, p.stderr))
        return
    bad = 0
    for (words, wanted), got in zip(COMPLETION_CASES, out[1:]):
        if sorted(got.split()) != sorted(wanted):
            problems.append("completion of %r: %r, expected %r" % (words, got.split(), wanted))
            bad += 1
    if not bad:
        print("ok     bash completes %d command lines" % len(COMPLETION_CASES))


def script_quote(word):
    return "'" + word.replace("'", "'\\''") + "'"


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    if not args:
        sys.exit(__doc__)
    build = os.path.abspath(args[0])
    cmake = args[1] if len(args) > 1 else "cmake"
    gui = "--no-gui" not in sys.argv
    problems = []
    with tempfile.TemporaryDirectory() as prefix:
        p = subprocess.run([cmake, "--install", build, "--prefix", prefix],
                           capture_output=True, text=True)
        if p.returncode != 0:
            sys.exit("cmake --install failed:\n" + p.stdout + p.stderr)
        found = installed_files(prefix)
        wanted = expected_files(gui)
        missing = sorted(set(wanted) - set(found))
        extra = sorted(set(found) - set(wanted))
        if missing:
            problems.append("not installed: " + ", ".join(missing))
        if extra:
            problems.append("installed but not expected: " + ", ".join(extra))
        for program in [f for f in wanted if f.startswith("bin/")]:
            path = os.path.join(prefix, program)
            if os.path.isfile(path) and not os.access(path, os.X_OK):
                problems.append(program + " is not executable")
        if not missing:
            print("ok     the %d installed files" % len(found))
            if gui:
                check_desktop_files(prefix, problems)
            check_man_page(prefix, problems)
            check_completion(prefix, problems)
            check_installed_cli(prefix, problems)
            check_cli_libraries(prefix, gui, problems)
    for problem in problems:
        print("FAILED " + problem)
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()
