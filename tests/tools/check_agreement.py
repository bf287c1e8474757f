#!/usr/bin/python3
"""Compares `tavrel --check` with the OpenType Sanitizer (ots-sanitize).

Over a corpus of fonts (every TrueType font of the packages scripts/setup.sh
installs, the fonts in --extra folders, and fonts mutated at random from the
installed ones with a fixed seed), every font ots-sanitize rejects must get
at least one error from tavrel, and every font it accepts must get none
(warnings and notes allowed). Prints the figures and each disagreement;
exits 1 when there is one.

  check_agreement.py --tavrel build/src/app/tavrel [--mutants 600] [--seed 1]
                     [--extra DIR]... [--keep DIR] [--fonts N]
"""
import argparse
import json
import os
import random
import re
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(os.path.dirname(HERE))

# The tables tavrel checks; mutations land in these and in the directory.
CHECKED = ["head", "maxp", "hhea", "hmtx", "loca", "glyf", "cmap", "name",
           "OS/2", "post", "gasp", "EBLC", "EBDT"]
INTERESTING16 = [0, 1, 2, 3, 0x7F, 0x80, 0xFF, 0x100, 0x7FFF, 0x8000, 0xFFFE, 0xFFFF]


def installed_fonts():
    """The .ttf files of the font packages the setup script installs."""
    setup = open(os.path.join(SOURCE, "scripts", "setup.sh")).read()
    packages = sorted(set(re.findall(r"\bfonts-[a-z0-9-]+", setup)))
    fonts = []
    for p in packages:
        out = subprocess.run(["dpkg", "-L", p], capture_output=True, text=True).stdout
        fonts += [f for f in out.split("\n") if f.endswith(".ttf") and os.path.isfile(f)]
    return sorted(set(os.path.realpath(f) for f in fonts))


def directory(data):
    if len(data) < 12:
        return []
    n = struct.unpack(">H", data[4:6])[0]
    out = []
    for i in range(n):
        e = 12 + 16 * i
        if e + 16 > len(data):
            break
        tag, _, off, length = struct.unpack(">4sIII", data[e:e + 16])
        out.append((tag.decode("latin-1"), e, off, length))
    return out


def mutate(data, rng):
    """One to three random changes of the directory or a checked table."""
    data = bytearray(data)
    what = []
    for _ in range(rng.choice([1, 1, 1, 2, 3])):
        entries = [e for e in directory(data) if e[0] in CHECKED and e[2] + e[3] <= len(data)]
        kind = rng.choice(["bytes", "bytes", "field", "field", "field", "truncate", "entry"])
        if not directory(data):
            break
        if kind == "entry" or not entries:
            # Offsets of any table (where it lies is the directory's
            # business); lengths only of the tables tavrel reads.
            field = rng.choice([8, 12])
            entry = rng.choice(directory(data) if field == 8 or not entries else entries)
            e = entry[1] + field
            old = struct.unpack(">I", data[e:e + 4])[0]
            new = rng.choice([0, old + rng.choice([-4, -2, -1, 1, 2, 4, 64]), rng.getrandbits(32),
                              old ^ (1 << rng.randrange(32))]) & 0xFFFFFFFF
            data[e:e + 4] = struct.pack(">I", new)
            what.append("%s %s %d->%d" % (entry[0], "offset" if field == 8 else "length", old, new))
            continue
        tag, e, off, length = rng.choice(entries)
        if length == 0:
            continue
        if kind == "bytes":
            for _ in range(rng.randint(1, 4)):
                at = off + rng.randrange(length)
                data[at] ^= 1 << rng.randrange(8)
            what.append("%s bits" % tag)
        elif kind == "field":
            # Fixed headers hold most fields: favour the first 64 bytes.
            span = min(length, 64) if rng.random() < 0.6 else length
            at = off + (rng.randrange(max(1, span - 1)) & ~1)
            value = rng.choice(INTERESTING16 + [rng.getrandbits(16)])
            data[at:at + 2] = struct.pack(">H", value)
            what.append("%s u16 at %d = %d" % (tag, at - off, value))
        else:
            new = rng.randrange(length)
            data[e + 12:e + 16] = struct.pack(">I", new)
            what.append("%s truncated %d->%d" % (tag, length, new))
    return bytes(data), "; ".join(what)


def ots(path):
    with tempfile.NamedTemporaryFile(suffix=".ttf") as out:
        r = subprocess.run(["ots-sanitize", path, out.name], capture_output=True, text=True)
    lines = [l for l in (r.stdout + r.stderr).split("\n") if l.startswith("ERROR")]
    return r.returncode != 0, " | ".join(lines[:2])


def tavrel_errors(tavrel, paths):
    """Error count and error messages per file, from one --check --json run."""
    r = subprocess.run([tavrel, "--check", "--json"] + paths, capture_output=True, text=True)
    result = {p: [0, []] for p in paths}
    for line in r.stdout.split("\n"):
        if not line:
            continue
        j = json.loads(line)
        f = j["file"]
        if "unreadable" in j:
            result[f] = [1, ["unreadable: " + j["unreadable"]]]
        elif "errors" in j:
            result[f][0] = j["errors"]
        elif j.get("severity") == "error":
            result[f][1].append("%s: %s" % (j["table"], j["message"]))
    return result


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--tavrel", required=True)
    ap.add_argument("--mutants", type=int, default=600)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--extra", action="append", default=[])
    ap.add_argument("--keep", help="folder to keep the mutated fonts in")
    ap.add_argument("--fonts", type=int, default=0,
                    help="check only this many installed fonts (0: all)")
    args = ap.parse_args()

    rng = random.Random(args.seed)
    fonts = installed_fonts()
    if not fonts:
        sys.exit("no installed fonts found")
    corpus = []  # (label, path, origin)
    chosen = fonts if args.fonts == 0 else rng.sample(fonts, min(args.fonts, len(fonts)))
    corpus += [(os.path.basename(f), f, "installed") for f in chosen]
    for d in args.extra:
        for name in sorted(os.listdir(d)):
            corpus.append((name, os.path.join(d, name), "crafted"))

    work = args.keep or tempfile.mkdtemp(prefix="agreement-")
    os.makedirs(work, exist_ok=True)
    # Mutants of the small installed fonts mostly, of the large ones and of
    # the crafted fonts now and then.
    small = [f for f in fonts if os.path.getsize(f) < 8 << 20] or fonts
    crafted = [p for _, p, o in corpus if o == "crafted"]
    for i in range(args.mutants):
        pick = rng.random()
        if pick < 0.05:
            base = rng.choice(fonts)
        elif pick < 0.25 and crafted:
            base = rng.choice(crafted)
        else:
            base = rng.choice(small)
        data, what = mutate(open(base, "rb").read(), rng)
        path = os.path.join(work, "mutant-%04d.ttf" % i)
        with open(path, "wb") as f:
            f.write(data)
        corpus.append(("mutant-%04d (%s: %s)" % (i, os.path.basename(base), what), path, "mutant"))

    figures = {o: [0, 0, 0] for o in ("installed", "crafted", "mutant")}  # fonts, rejected, disagree
    disagreements = []
    batch = 40
    for start in range(0, len(corpus), batch):
        part = corpus[start:start + batch]
        errors = tavrel_errors(args.tavrel, [p for _, p, _ in part])
        for label, path, origin in part:
            rejected, why = ots(path)
            count, messages = errors[path]
            figures[origin][0] += 1
            figures[origin][1] += rejected
            if rejected != (count > 0):
                figures[origin][2] += 1
                disagreements.append((label, rejected, why, messages[:3]))
            if origin == "mutant" and not args.keep:
                os.remove(path)
    if not args.keep:
        os.rmdir(work)

    for label, rejected, why, messages in disagreements:
        if rejected:
            print("DISAGREE %s: ots-sanitize rejects it (%s); tavrel finds no error" % (label, why))
        else:
            print("DISAGREE %s: ots-sanitize accepts it; tavrel finds errors: %s" %
                  (label, " | ".join(messages)))
    total = [sum(v[i] for v in figures.values()) for i in range(3)]
    for origin, (n, rejected, bad) in list(figures.items()) + [("all", total)]:
        print("%-9s %4d fonts, %4d rejected by ots-sanitize, %d disagreements" %
              (origin, n, rejected, bad))
    sys.exit(1 if disagreements else 0)


if __name__ == "__main__":
    main()
