#!/usr/bin/env python3
"""Writes the seed corpus of every fuzz target from the demo and small synthetic bases.

usage: python3 fuzz/makeseeds.py [BUILD]   (BUILD: a normal build folder, default build/)
"""
import os
import pathlib
import re
import shutil
import sqlite3
import struct
import subprocess
import sys
import tempfile

ROOT = pathlib.Path(__file__).resolve().parent.parent
BUILD = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ROOT / "build").resolve()
CORPUS = ROOT / "fuzz" / "corpus"
SEP = b"\xff\xfe\xfd"


def compact(database):
    """The database with the smallest pages SQLite allows: seeds stay small in the repository."""
    with tempfile.TemporaryDirectory() as tmp:
        copy = os.path.join(tmp, "kb.db")
        shutil.copy(database, copy)
        con = sqlite3.connect(copy)
        con.execute("PRAGMA page_size=512")
        con.execute("VACUUM")
        con.close()
        return pathlib.Path(copy).read_bytes()


def base_parts(folder):
    folder = pathlib.Path(folder)
    return [compact(folder / "vireka.db")] + [
        (folder / name).read_bytes() for name in ("POIDS.DAT", "MATRICE.DAT", "couleur.wmf")]


def put(target, name, data):
    (CORPUS / target).mkdir(parents=True, exist_ok=True)
    (CORPUS / target / name).write_bytes(data)


def synth(folder, species, states, questions, zones):
    subprocess.run([str(BUILD / "tools" / "vireka-kb"), "synth", folder, "--species", str(species),
                    "--states", str(states), "--questions", str(questions), "--zones", str(zones)],
                   check=True, stdout=subprocess.DEVNULL)
    return base_parts(folder)


def flat_source():
    """The demo source as one kb.txt: every include replaced by the file it names."""
    demo = ROOT / "data" / "demo"
    out = []
    for line in (demo / "kb.txt").read_text(encoding="utf-8").splitlines():
        m = re.match(r"include\s+(\S+)", line)
        out.append((demo / m.group(1)).read_text(encoding="utf-8") if m else line)
    return "\n".join(out).encode("utf-8")


def main():
    demo = base_parts(BUILD / "demo")
    put("kb_fuzz", "demo", SEP.join(demo))
    # A session: open questions, confirm choices, refresh, search, skip, contradictions.
    session = bytes([0, 1, 1, 0, 2, 0, 3, 0, 1, 1, 5, 2, 4, 0, 2, 0, 0, 7, 1, 2, 5, 0, 6, 0])
    put("engine_fuzz", "demo-session", SEP.join(demo + [session]))
    with tempfile.TemporaryDirectory() as tmp:
        small = synth(os.path.join(tmp, "s"), 3, 24, 12, 6)
    put("kb_fuzz", "synth-small", SEP.join(small))
    put("engine_fuzz", "synth-session", SEP.join(small + [session * 2]))

    for name, states, frames, values in (
            ("demo-answers", 94, 3, [1, 0] * 47 + [-1, 0, -1]),
            ("short", 5, 2, [1, 0]),
            ("long", 3, 1, [0, 1, 0, -1, 7, 7, 7])):
        body = b"".join(struct.pack("<h", v) for v in values)
        put("qnt_fuzz", name, struct.pack("<HH", states, frames) + body)

    put("kbsource_fuzz", "demo-flat", flat_source())
    minimal = (b'title "T"\nlanguage en "English"\ncolour paper #ffffff\ncolour ink #000000 asks Q\n'
               b'include a.txt\n')
    questions = (b'question Q "q"\n  grid 1 2\n  state A "a"\n  state B "b"\n'
                 b'species ABCDE "Aus bus"\n  family F\n  shows A\n')
    put("kbsource_fuzz", "minimal", SEP.join([minimal, questions, b""]))

    put("wmf_fuzz", "palette", demo[3])
    drawings = sorted((BUILD / "demo" / "drawings").rglob("*.WMF"))
    if drawings:
        put("wmf_fuzz", "layer", min(drawings, key=lambda p: p.stat().st_size).read_bytes())


if __name__ == "__main__":
    main()
