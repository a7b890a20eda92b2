#!/usr/bin/env python3
"""Writes edge_pairs.csv: hard pairs (case, N runs, "?", ambiguity codes, protein, unequal and
long lengths, single residues) aligned by the installed MUSCLE (`muscle -align`), with the
counts of its alignment. Run from this folder: ./make_edge_pairs.py"""
import csv, os, random

from muscle_counts import muscle

random.seed(20240611)
here = os.path.dirname(os.path.abspath(__file__))


def records(path):
    seqs, cur = [], None
    for line in open(path):
        line = line.strip()
        if line.startswith(">"):
            if cur is not None:
                seqs.append(cur)
            cur = ""
        elif cur is not None:
            cur += line.replace("-", "")
    seqs.append(cur)
    return seqs


def mutate(s, rate, alphabet, indel=0.02):
    out = []
    for c in s:
        r = random.random()
        if r < indel / 2:
            continue
        if r < indel:
            out.append(random.choice(alphabet))
        out.append(random.choice(alphabet) if random.random() < rate else c)
    return "".join(out)


orchid = records(os.path.join(here, "..", "orchid_its.fasta"))
rrna = records(os.path.join(here, "..", "rrna5s_48.fasta"))
amino = "ACDEFGHIKLMNPQRSTVWY"
cases = []
for k in range(6):
    a, b = random.sample(orchid, 2)
    cases.append(("lower case one", a.lower(), b))
    cases.append(("mixed case", "".join(c.lower() if random.random() < 0.3 else c for c in a), b))
    p = random.randrange(len(a) - 60)
    cases.append(("N run", a[:p] + "N" * random.randint(10, 60) + a[p + 30:], b))
    cases.append(("many ?", "".join("?" if random.random() < 0.3 else c for c in a), b))
    cases.append(("ambiguity codes", "".join(random.choice("RYKMSWN") if random.random() < 0.1 else c for c in a), b))
    q = random.randrange(len(a) - 120)
    cases.append(("fragment", a[q:q + random.randint(40, 120)], b))
    prot = "".join(random.choice(amino) for _ in range(random.randint(80, 300)))
    cases.append(("protein", prot, mutate(prot, 0.3, amino, 0.05)))
    cases.append(("protein lower", prot.lower(), mutate(prot, 0.2, amino)))
    r1, r2 = random.sample(rrna, 2)
    cases.append(("rna as U", r1.replace("T", "U"), r2))
    base = "".join(random.choice("ACGT") for _ in range(random.randint(1500, 2500)))
    cases.append(("long", base, mutate(base, 0.15, "ACGT", 0.04)))
for c in "ACGTN":
    cases.append(("one residue", c, random.choice(orchid)[:50]))
cases.append(("one residue each", "A", "C"))
cases.append(("one residue each", "A", "a"))
cases.append(("two residues", "AC", "CA"))
cases.append(("identical but case", orchid[0], orchid[0].lower()))
cases.append(("all N", "N" * 300, orchid[1]))
cases.append(("repeat", "ACGTACGTACGTACGT" * 5, "ACGTACGT" * 7))

with open(os.path.join(here, "edge_pairs.csv"), "w", newline="") as f:
    w = csv.writer(f)
    w.writerow(["case", "a", "b", "matches", "gapfree_cols"])
    for name, a, b in cases:
        m, g = muscle(a, b)
        w.writerow([name, a, b, m, g])
print(len(cases), "pairs")
