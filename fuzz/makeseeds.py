#!/usr/bin/env python3
"""Writes the seed corpus of every fuzz target from the demo and small synthetic bases.

usage: python3 fuzz/makeseeds.py [BUILD]   (BUILD: a normal build folder, default build/)
"""
import gzip
import os
import pathlib
import re
import shutil
import sqlite3
import struct
import subprocess
import sys
import tempfile
import zlib

ROOT = pathlib.Path(__file__).resolve().parent.parent
BUILD = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ROOT / "build").resolve()
CORPUS = ROOT / "fuzz" / "corpus"
SEP = b"\xff\xfe\xfd"


def typed_trailer(body, values):
    """The trailer of typed values an identification file keeps after its description."""
    length = 20 + 12 * len(values)
    head = b"VKTV" + struct.pack("<HHII", 1, len(values), length, zlib.crc32(body))
    records = b"".join(struct.pack("<id", state, value) for state, value in values)
    return head + records + struct.pack("<I", zlib.crc32(head + records))


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


def delta_seeds():
    """Small DELTA datasets (specs, chars, items, tokey) covering the format's notations."""
    specs = (b"*COMMENT <nested <comments>>\n*NUMBER OF CHARACTERS 7\n"
             b"*CHARACTER TYPES 2,RN 5,TE 6,IN 7,OM\n*NUMBERS OF STATES 1,2 3,3 7,4\n"
             b"*IMPLICIT VALUES 4,1\n*DEPENDENT CHARACTERS 1,2:3\n"
             b"*CHARACTER RELIABILITIES 1,10 3,5\n*CHARACTER HEADINGS #1. Culms/ #6. Leaves/\n"
             b"*KEYWORD CHARACTERS #habit/ 1-3 #all/ 1-7\n")
    chars = (b"*CHARACTER LIST\n#1. culms <whether woody>/\n 1. woody/\n 2. herbaceous <not woody>/\n"
             b"#2. <mature> culms/\n cm high/\n#3. bark/ 1. grey/ 2. brown/ 3. \\i{}red\\i0{}/\n"
             b"#4. hairs/ 1. absent/ 2. present/\n#5. habitat/\n#6. leaves/\n"
             b"#7. leaf size/ 1. tiny/ 2. small/ 3. medium/ 4. large/\n")
    items = (b"*ITEM DESCRIPTIONS\n# \\i{}Bambusa vulgaris\\i0{} <Schrad.>/\n"
             b"1,1 2,(200-)500-1500(-2000) 3,1/2 5<in thickets <near> rivers> 6,3-5 7,3-4\n"
             b"# \\i{}Poa alpina\\i0{} <L.>/\n1,2 2,5-40 3,- 6,2 7,1&2 4,U\n"
             b"# Festuca \xe9l\xe9gans <\x93true\x94>/\n1<usually>,2 2,20/30 6,V 7,2-4\n"
             b"# Zea mays/\n1,V 2,100-300 6,8-12 7,4 4,2\n")
    tokey = b"*KEY STATES 6,~3/3-6/6~ 7,1-2/3/4\n"
    put("delta_fuzz", "grasses", SEP.join([specs, chars, items, tokey]))
    crlf = [part.replace(b"\n", b"\r\n") for part in (specs.lower(), chars, items, b"")]
    put("delta_fuzz", "crlf-lower", SEP.join(crlf))
    put("delta_fuzz", "minimal", SEP.join([b"", b"*CHARACTER LIST #1. a/ 1. x/ 2. y/\n",
                                           b"*ITEM DESCRIPTIONS\n# A/ 1,1\n# B/ 1,2\n", b""]))
    # Angle brackets that open no comment, codes in inner comments, extremes, lists, shared
    # key-state bounds, headings, notes and a picture region that only places a label.
    put("delta_fuzz", "angles-extremes", SEP.join([
        b"*CHARACTER TYPES 3,IN 4,RN\n*NUMBERS OF STATES 1,3\n"
        b"*CHARACTER HEADINGS #1. Habit/ #3. Counts/\n*ITEM SUBHEADINGS #4. \\i{}Size\\i0{}./\n"
        b"*CHARACTER NOTES #3. Count <<Ct1>> open flowers (>9 rare).\n"
        b"*CHARACTER IMAGES #1. p.png <@feature x=1 y=1 w=9 h=-1> <@state 1 x=0 y=2 w=5 h=5>\n",
        b"*CHARACTER LIST\n#1. <<Af7 se5~>> plants <(sexuality)>/ 1. few (<3) families/"
        b" 2. many (>9)/ 3. <x<y only>/\n#2. shape <x<y>/ 1. a/ 2. b/\n#3. petals/\n#4. length/ mm/\n",
        b"*ITEM DESCRIPTIONS\n# Silene <(Rupr.) Bocquet> x<y/ 1,1 2,1 3,(3-)5(-9) 4,0.6&1.5\n"
        b"# B <many (>9)>/ 1<usually (<3)>,2/3 3,30&35&43 4,(0.2-)1-2.5(-4)\n",
        b"*KEY STATES 3,~3/3-5/5~\n"]))


def sdd_seeds():
    """Small SDD files: taxon names and scopes, or descriptions naming themselves."""
    states = b"".join(b'<StateDefinition id="%s"><Representation><Label>%s</Label>'
                      b'<MediaObject ref="m1"/></Representation></StateDefinition>' % (i, i)
                      for i in (b"s1", b"s2", b"s3"))
    full = (b'<?xml version="1.0" encoding="UTF-8"?>\n<Datasets xmlns="http://rs.tdwg.org/UBIF/2006/">'
            b'<Dataset xml:lang="en"><Representation><Label>Violets</Label></Representation>'
            b'<TaxonNames><TaxonName id="t1"><Representation><Label>&lt;i&gt;Viola&lt;/i&gt; a'
            b'</Label></Representation></TaxonName><TaxonName id="t2"><Representation><Label>'
            b'Viola b</Label></Representation></TaxonName><TaxonName id="tf"><Representation>'
            b'<Label>Violaceae</Label></Representation></TaxonName></TaxonNames>'
            b'<TaxonHierarchies><TaxonHierarchy id="h"><Nodes><Node id="hf"><TaxonName ref="tf"/>'
            b'</Node><Node id="ha"><Parent ref="hf"/><TaxonName ref="t1"/></Node></Nodes>'
            b'</TaxonHierarchy></TaxonHierarchies><Characters>'
            b'<CategoricalCharacter id="c1"><Representation><Label>Leaf</Label></Representation>'
            b'<States>' + states + b'</States></CategoricalCharacter>'
            b'<CategoricalCharacter id="C1"><Representation><Label>Spur</Label></Representation>'
            b'<States><StateDefinition id="x"/><StateDefinition id="X"/></States>'
            b'</CategoricalCharacter><QuantitativeCharacter id="c2"><Representation><Label>Length'
            b'</Label></Representation><MeasurementUnit><Label>mm</Label></MeasurementUnit>'
            b'</QuantitativeCharacter><TextCharacter id="c3"/></Characters>'
            b'<DescriptiveConcepts><DescriptiveConcept id="dc"><Representation><Label>Leaves'
            b'</Label></Representation></DescriptiveConcept></DescriptiveConcepts>'
            b'<CharacterTrees><CharacterTree id="ct"><Nodes><Node id="n"><DescriptiveConcept '
            b'ref="dc"/></Node><CharNode><Parent ref="n"/><Character ref="c1"/></CharNode>'
            b'<CharNode><Parent ref="n"/><DependencyRules><InapplicableIf><State ref="s1"/>'
            b'</InapplicableIf></DependencyRules><Character ref="C1"/></CharNode></Nodes>'
            b'</CharacterTree></CharacterTrees><CodedDescriptions>'
            b'<CodedDescription id="D1"><Scope><TaxonName ref="t1"/></Scope><SummaryData>'
            b'<Categorical ref="c1"><State ref="s1"/></Categorical><Categorical ref="c1"><State '
            b'ref="s3"/></Categorical><Quantitative ref="c2"><Measure type="Min" value="2.3"/>'
            b'<Measure type="Max" value="7"/></Quantitative><TextChar ref="c3"><Content>wet'
            b'</Content></TextChar></SummaryData></CodedDescription>'
            b'<CodedDescription id="D2"><Scope><TaxonName ref="t2"/></Scope><SummaryData>'
            b'<Categorical ref="c1"><Status code="NotApplicable"/></Categorical><Categorical '
            b'ref="C1"><State ref="X"><Modifier ref="m"/></State></Categorical><Quantitative '
            b'ref="c2"><Measure type="Mean" value="30"/></Quantitative></SummaryData>'
            b'</CodedDescription><CodedDescription id="D3"><Representation><Label>Viola b'
            b'</Label></Representation><SummaryData><Categorical ref="c1"><State ref="s2"/>'
            b'</Categorical><Quantitative ref="c2"><Measure type="UMethLower" value="10"/>'
            b'<Measure type="UMethUpper" value="20"/></Quantitative></SummaryData>'
            b'</CodedDescription></CodedDescriptions><MediaObjects><MediaObject id="m1"><Type>'
            b'Image</Type><Source href="leaf.png"/></MediaObject></MediaObjects></Dataset>'
            b'</Datasets>\n')
    put("sdd_fuzz", "violets", full)
    put("sdd_fuzz", "prefixed-latin1",
        b'<?xml version="1.0" encoding="ISO-8859-1"?><s:Dataset xmlns:s="http://rs.tdwg.org/UBIF/2006/">'
        b'<s:Characters><s:CategoricalCharacter id="a"><s:States><s:StateDefinition id="p">'
        b'<s:Representation><s:Label>\xe9t\xe9</s:Label></s:Representation></s:StateDefinition>'
        b'<s:StateDefinition id="q"/></s:States></s:CategoricalCharacter></s:Characters>'
        b'<s:CodedDescriptions><s:CodedDescription id="d"><s:Representation><s:Label><![CDATA[A <i>b</i>]]>'
        b'</s:Label></s:Representation><s:SummaryData><s:Categorical ref="a"><s:State ref="q"/>'
        b'</s:Categorical></s:SummaryData></s:CodedDescription></s:CodedDescriptions></s:Dataset>')


def html_seeds():
    put("html_fuzz", "species-page",
        b'<!DOCTYPE html>\n<html lang="en"><head><meta charset="utf-8"><title>Aus bus</title>'
        b'<style>body{margin:24px}h1{color:#1d3b4f}</style></head><body>\n<h1><i>Aus bus</i></h1>'
        b'<nav><a href="abcde_ds.html">Sheet</a><a href="#part">Part</a></nav>\n'
        b'<img src="picture_1.png" alt="" width=10><map name="m"><area href="b.html" coords="1,2">'
        b'</map><table><tr><td class="q">Wings</td><td>clear</td></tr></table></body></html>\n')
    put("html_fuzz", "hostile",
        b'<p onclick="x()" style="background:image-set(\'http://e.org/a.png\' 1x)">a</p>'
        b'<style>@im/**/port "http://e.org/s.css";p{background:u\\rl(x)}</style>'
        b'<script>alert(1)</script><svg><a href="javascript:x">s</a></svg>'
        b'<img src=http://e.org/x.png onerror=alert(2)><a href=\'../out.html\'>o</a>'
        b'<p style="content:\'/*\';background:url(http://e.org/a.png);content:\'*/\'">b</p>'
        b'<title>A < B</title><!-- comment --><x-tag>kept</x-tag><p>1 < 2 &amp; &#x3c;')
    put("html_fuzz", "broken", b'<p title="unterminated><a href=#x>y</p><style>p{color:red')


def png(width, height, rgb):
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xffffffff))
    rows = b"".join(b"\x00" + bytes(rgb) * width for _ in range(height))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def bmp(width, height, rgb):
    row = (bytes(reversed(rgb)) * width).ljust((width * 3 + 3) // 4 * 4, b"\x00")
    pixels = row * height
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(header) + len(pixels), 0, 0, 54) + header + pixels


def picture_seeds():
    green = (0x3d, 0x7a, 0x4a)
    put("picture_fuzz", "png", png(4, 3, green))
    put("picture_fuzz", "bmp", bmp(4, 3, green))
    # A 2 x 2 GIF of two colours.
    put("picture_fuzz", "gif",
        b"GIF89a\x02\x00\x02\x00\x80\x00\x00\x3d\x7a\x4a\xff\xff\xff,\x00\x00\x00\x00\x02\x00"
        b"\x02\x00\x00\x02\x02\x84\x51\x00;")
    icon = png(16, 16, green)
    put("picture_fuzz", "ico", struct.pack("<HHH", 0, 1, 1) +
        struct.pack("<BBBBHHII", 16, 16, 0, 0, 1, 32, len(icon), 22) + icon)
    svg = (b"<svg xmlns='http://www.w3.org/2000/svg' width='20' height='10'>"
           b"<rect width='10' height='10' fill='#3d7a4a'/><circle cx='15' cy='5' r='4'/></svg>")
    put("picture_fuzz", "svg", svg)
    put("picture_fuzz", "svgz", gzip.compress(svg, mtime=0))
    if shutil.which("convert"):
        jpeg = subprocess.run(["convert", "-size", "8x8", "xc:#3d7a4a", "jpeg:-"],
                              check=True, capture_output=True).stdout
        put("picture_fuzz", "jpeg", jpeg)


def settings_seeds():
    put("settings_fuzz", "installed",
        b"[Logiciel]\nExecutables=C:\\\\Vireka\\\\\nData=/usr/share/vireka/demo/\nBase=vireka.db\n"
        b"Descripteurs=/usr/share/vireka/demo/choices/\nRobot=/usr/share/vireka/demo/drawings/\n\n"
        b"[Options]\nDistribution=hd\nValeur=50\nCurseur=-1\nLangue=2\nQuestions=true\n\n"
        b"[Documents]\nAdresse=/usr/share/vireka/demo/documents/\n")
    put("settings_fuzz", "web-odd",
        b"[Options]\r\nDistribution=http\r\nValeur=abc\r\nCurseur=\"1\"\r\n"
        b"[Documents]\r\nAdresse=\"http://example.invalid/docs/\"\r\n[Logiciel]\r\nData=@Variant(\\0\\0)\r\n")

def importwriter_seeds():
    svg = (b'<svg xmlns="http://www.w3.org/2000/svg" width="60" height="40"><rect width="30" '
           b'height="40" fill="#3d7a4a"/><circle cx="45" cy="20" r="10" fill="#c03"/></svg>')
    chars = (b"*CHARACTER LIST\n#1. leaf colour/\n  1. green/\n  2. red/\n  3. \\i{}yellow\\i0{}/\n"
             b"#2. leaf length/ mm/\n#3. hairs/ 1. absent/ 2. present/\n")
    items = (b"*ITEM DESCRIPTIONS\n# \\i{}Aus bus\\i0{} <L.>/ 1,1 2,3-5 3,1\n# Aus cus/ 1,2/3 2,10 3,2\n"
             b"# Dus eus/ 1,V 2,4-8(-12) 3,U\n")
    cimages = (b"*CHARACTER IMAGES\n#1. picture <@subject leaf> <@state 1 x=0 y=0 w=30 h=40> "
               b"<@state 2 x=30 y=0 w=30 h=40> <@state 3 x=500 y=500 w=9 h=9>\n#3. picture\n")
    pictures = {"png-regions": png(60, 40, (61, 122, 74)), "svg-regions": svg,
                "svgz": gzip.compress(svg, mtime=0), "not-a-picture": b"GIF89a\x01"}
    for name, picture in pictures.items():
        put("importwriter_fuzz", name, SEP.join([picture, chars, items, cimages]))


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
    # Typed values after the description, and the same trailer left behind by another one.
    body = b"".join(struct.pack("<h", v) for v in [0, 1, 0, 0, 1, -1, 0])
    put("qnt_fuzz", "typed", struct.pack("<HH", 5, 2) + body + typed_trailer(body, [(1, 37.5), (4, 2.0)]))
    other = b"".join(struct.pack("<h", v) for v in [1, 0, 0, 0, 1, -1, 0])
    put("qnt_fuzz", "typed-stale", struct.pack("<HH", 5, 2) + other + typed_trailer(body, [(1, 37.5)]))

    put("kbsource_fuzz", "demo-flat", flat_source())
    minimal = (b'title "T"\nlanguage en "English"\ncolour paper #ffffff\ncolour ink #000000 asks Q\n'
               b'include a.txt\n')
    questions = (b'question Q "q"\n  grid 1 2\n  state A "a"\n  state B "b"\n'
                 b'species ABCDE "Aus bus"\n  family F\n  shows A\n')
    put("kbsource_fuzz", "minimal", SEP.join([minimal, questions, b""]))

    delta_seeds()
    sdd_seeds()
    html_seeds()
    picture_seeds()
    settings_seeds()
    importwriter_seeds()

    put("wmf_fuzz", "palette", demo[3])
    drawings = sorted((BUILD / "demo" / "drawings").rglob("*.WMF"))
    if drawings:
        put("wmf_fuzz", "layer", min(drawings, key=lambda p: p.stat().st_size).read_bytes())


if __name__ == "__main__":
    main()
