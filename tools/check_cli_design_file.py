#!/usr/bin/env python3
"""Design files through the real vantrel-cli: `--save-design` after fir, iir and load, and
`open` printing what the saving command printed (the same coefficients, bit for bit, the same
report with the saved quantization and number form, the same measurements); a loaded file
without its bands is not measured until --edges gives them; refused design files exit 2 with
the field named on standard error and nothing on standard output.

usage: check_cli_design_file.py PATH/TO/vantrel-cli
"""
import json
import os
import subprocess
import sys
import tempfile

CLI = sys.argv[1]
problems = []


def run(args):
    return subprocess.run([CLI] + args, capture_output=True, text=True, timeout=300)


with tempfile.TemporaryDirectory() as work:
    def path(name):
        return os.path.join(work, name)

    asym = path("asym.txt")
    with open(asym, "w") as f:
        f.write("Data is Real : 1.0 => 1.0\n 0.5\n-0.25\n 0.125\n 0.0625\n-0.03125\n 0.3\n")

    # (the command that saves, the options open is given to print the same)
    SAVED = [
        (["fir", "--type", "bpf", "--edges", "150,200,300,350", "--taps", "61", "--mult", "2"],
         []),
        (["fir", "--type", "hpf", "--taps", "60", "--quantize", "14", "--report", "--format",
          "hex"], ["--report"]),
        (["iir", "--type", "brf", "--cutoff", "120,280", "--sections", "4", "--quantize", "20"],
         []),
        (["iir", "--type", "lpf", "--sections", "3", "--measure"], ["--measure"]),
        (["load", asym], []),
        (["load", asym, "--measure", "--edges", "100,300"], ["--measure"]),
    ]
    for i, (words, open_words) in enumerate(SAVED):
        design = path(f"d{i}.vantrel")
        saved = run(words + ["--save-design", design])
        label = " ".join(words)
        if saved.returncode != 0:
            problems.append(f"{label} --save-design: exit {saved.returncode}: {saved.stderr!r}")
            continue
        opened = run(["open", design] + open_words)
        if opened.returncode != 0 or opened.stdout != saved.stdout:
            problems.append(f"open of {label}: exit {opened.returncode}, output differs "
                            f"({opened.stdout[:120]!r} vs {saved.stdout[:120]!r})")
        # Saving the opened design again gives the same file.
        again = path(f"again{i}.vantrel")
        run(["open", design, "--save-design", again])
        with open(design) as a, open(again) as b:
            if json.load(a) != json.load(b):
                problems.append(f"{label}: saving the opened design changed the file")

    # The bands of a loaded file: --edges, or exit 2; the opened design keeps the answer.
    design = path("loaded.vantrel")
    run(["load", asym, "--save-design", design])
    for args, status in [(["load", asym, "--measure"], 2),
                         (["load", asym, "--advise-bits"], 2),
                         (["load", asym, "--measure", "--edges", "100"], 2),
                         (["load", asym, "--measure", "--edges", "300,100"], 2),
                         (["load", asym, "--measure", "--type", "bpf", "--edges",
                           "50,100,200,250"], 0),
                         (["open", design, "--measure"], 2)]:
        result = run(args)
        if result.returncode != status or (status == 2 and result.stdout):
            problems.append(f"{' '.join(args)}: exit {result.returncode}, expected {status}")

    # Refused files: the field on standard error, nothing on standard output.
    good = json.load(open(path("d0.vantrel")))
    def edited(edit):
        doc = json.loads(json.dumps(good))
        edit(doc)
        return json.dumps(doc)
    REFUSED = [
        ("format", edited(lambda d: d.update(format="other")), "format"),
        ("version", edited(lambda d: d.update(version=2)), "version"),
        ("missing", edited(lambda d: d["fir"].pop("taps")), "fir.taps: missing"),
        ("type", edited(lambda d: d["design"].update(fs="1000")), "design.fs: expected"),
        ("range", edited(lambda d: d["hardware"].update(dataBits=30)), "hardware.dataBits"),
        ("truncated", json.dumps(good)[:300], "cut short"),
        # Nested 200,000 deep in a field the reader ignores: refused before the JSON is built.
        ("deep", json.dumps(good)[:-1] + ', "export": ' + "[" * 200000 + "]" * 200000 + "}",
         "export: nested more than 64 levels deep"),
    ]
    # The Coefficients dialog's bit-length rules hold for opened files too.
    iir_good = json.load(open(path("d2.vantrel")))
    def fir_taps_one(d):
        d["quantization"].update(enabled=True, bits=32, format=2)
        d["coefficients"]["fir"] = [1.0] * len(d["coefficients"]["fir"])
    iir_bits = json.loads(json.dumps(iir_good))
    iir_bits["quantization"].update(enabled=True, bits=25)
    REFUSED += [
        ("fir-overflow", edited(fir_taps_one),
         "quantization.bits: Decrease the bits for Quantization!!"),
        ("iir-bits", json.dumps(iir_bits), "can not exceed 24!!"),
    ]
    for name, text, part in REFUSED:
        bad = path(f"bad-{name}.vantrel")
        with open(bad, "w") as f:
            f.write(text)
        result = run(["open", bad])
        if result.returncode != 2 or result.stdout or part not in result.stderr:
            problems.append(f"refused file {name}: exit {result.returncode}, stdout "
                            f"{result.stdout[:60]!r}, stderr {result.stderr.strip()!r}")
    # Fields of a later version are ignored.
    later = path("later.vantrel")
    with open(later, "w") as f:
        f.write(edited(lambda d: d.update(export={"format": "coe"})))
    if run(["open", later]).returncode != 0:
        problems.append("a file with an extra field is refused")

    # Coefficient files in every form load back as written, 32-bit integers included (read
    # through single precision, a quarter of them changed by 1-2 LSB).
    for form in ["dec", "hex", "bin", "real"]:
        first, second = path(f"c32-{form}.txt"), path(f"c32-{form}-again.txt")
        words = ["--quantize", "32", "--format", form, "--save-coeffs"]
        saved = run(["fir", "--taps", "91"] + words + [first])
        again = run(["load", first] + words + [second])
        if saved.returncode != 0 or again.returncode != 0:
            problems.append(f"32-bit {form} file: exits {saved.returncode}, {again.returncode}")
            continue
        if open(first).read() != open(second).read():
            problems.append(f"a 32-bit {form} coefficient file did not load back as written")

if problems:
    print("\n".join(problems))
    sys.exit(1)
print("design files: all checks passed")
