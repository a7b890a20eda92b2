#!/usr/bin/env python3
"""Writes heavy_n_pairs.csv: genome-like pairs with many N (and other ambiguity codes), aligned by
the installed MUSCLE (`muscle -align`, one pair a run), with the counts of its alignment. MUSCLE
takes most of them for protein (75 or fewer of its 100 sampled letters are A, C, G, T or U), some
for nucleotides. Each pair comes from a seed of its own. Run from this folder:
./make_heavy_n_pairs.py (--fasta FOLDER writes each pair as FOLDER/NAME.fa instead, to try it by
hand; MUSCLE takes 10-30 s and about 5 GB for a 10 kb pair)."""
import csv, os, random, sys

from muscle_counts import muscle

here = os.path.dirname(os.path.abspath(__file__))


def mutate(rng, s, identity, indel=0.004):
    """Substitutions at 1 - identity; insertions and deletions of 1-12 residues at `indel`."""
    out = []
    k = 0
    while k < len(s):
        r = rng.random()
        if r < indel / 2:
            k += rng.randint(1, 12)
            continue
        if r < indel:
            out.extend(rng.choice("ACGT") for _ in range(rng.randint(1, 12)))
        c = s[k]
        out.append(rng.choice("ACGT".replace(c, "")) if rng.random() > identity else c)
        k += 1
    return "".join(out)


def genomes(seed, length, identity, indel, cut):
    """Two genomes diverged from one ancestor, the first cut short by `cut` residues."""
    rng = random.Random(seed)
    ancestor = "".join(rng.choice("ACGT") for _ in range(length))
    a = mutate(rng, ancestor, identity, indel)
    b = mutate(rng, ancestor, identity, indel)
    return rng, a[cut // 2 : len(a) - (cut - cut // 2)], b


def runs(seed, length, identity, fraction, longest, other, cut):
    """Runs of 20 to `longest` N (a share `other` of them of another IUPAC code) over `fraction`
    of the first genome, placed at random (they overlap)."""
    rng, a, b = genomes(seed, length, identity, 0.004, cut)
    a = list(a)
    masked, done = [False] * len(a), 0
    while done < int(fraction * len(a)):
        n = min(rng.randint(20, longest), int(fraction * len(a)) - done)
        start = rng.randrange(0, len(a) - n + 1)
        code = rng.choice("RYKMSWBDHV") if rng.random() < other else "N"
        for k in range(start, start + n):
            done += not masked[k]
            masked[k] = True
            a[k] = code
    return "".join(a), b


def amplicons(seed, length, identity, fraction, amplicon, lead, trail, cut):
    """Tiled amplicons of about `amplicon` residues, each lost (all N) at `fraction`, and N over
    the first genome's first `lead` and last `trail` residues: a partial genome."""
    rng, a, b = genomes(seed, length, identity, 0.002, cut)
    a = list(a)
    k = 0
    while k < len(a):
        n = rng.randint(int(amplicon * 0.7), int(amplicon * 1.3))
        if rng.random() < fraction:
            a[k : k + n] = "N" * len(a[k : k + n])
        k += n
    a[:lead] = "N" * min(lead, len(a))
    if trail:
        a[-trail:] = "N" * trail
    return "".join(a), b


def scattered(seed, index):
    """The index-th of pairs drawn one after the other from one generator: a prefix of 50-3,000
    residues of a random sequence against 50-3,000 of it 85 % alike, N scattered over each at a
    rate of up to 0.6. Very unequal lengths, and no chain of k-mers to hold the path."""
    rng = random.Random(seed)
    for _ in range(index + 1):
        length_a, length_b = rng.randint(50, 3000), rng.randint(50, 3000)
        ancestor = "".join(rng.choice("ACGT") for _ in range(max(length_a, length_b)))
        a, b = ancestor[:length_a], mutate(rng, ancestor[:length_b], 0.85, 0.01)
        n_a, n_b = rng.uniform(0.0, 0.6), rng.uniform(0.0, 0.6)
        a = "".join("N" if rng.random() < n_a else c for c in a)
        b = "".join("N" if rng.random() < n_b else c for c in b)
    return a, b


CASES = [
    # The band on a chance k-mer beside the path: passed its edge check with the path outside.
    ("scattered N unequal lengths", lambda: scattered(11, 115)),
    ("scattered N nucleotide", lambda: scattered(11, 0)),
    ("partial genome 72% N", lambda: amplicons(1, 4000, 0.97, 0.75, 400, 300, 80, 600)),
    ("partial genome 55% N", lambda: amplicons(2, 3500, 0.99, 0.55, 150, 0, 0, 200)),
    ("partial genome nucleotide", lambda: amplicons(3, 3000, 0.95, 0.12, 300, 50, 0, 100)),
    ("zika-like 72% N", lambda: runs(4, 10800, 0.975, 0.72, 2000, 0.0, 700)),
    ("runs of N and ambiguity codes", lambda: runs(5, 5000, 0.97, 0.65, 1500, 0.3, 200)),
    ("runs of ambiguity codes", lambda: runs(6, 4000, 0.97, 0.55, 800, 1.0, 0)),
]


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "--fasta":
        os.makedirs(sys.argv[2], exist_ok=True)
        for k, (name, make) in enumerate(CASES):
            a, b = make()
            with open(os.path.join(sys.argv[2], "heavy_n_%d.fa" % k), "w") as f:
                f.write(">a %s\n%s\n>b\n%s\n" % (name, a, b))
        return
    with open(os.path.join(here, "heavy_n_pairs.csv"), "w", newline="") as f:
        w = csv.writer(f, lineterminator="\n")
        w.writerow(["case", "a", "b", "matches", "gapfree_cols"])
        for name, make in CASES:
            a, b = make()
            m, g = muscle(a, b)
            w.writerow([name, a, b, m, g])
    print(len(CASES), "pairs")


if __name__ == "__main__":
    main()
