"""MUSCLE's counts for one pair: the installed MUSCLE (`muscle -align`) aligns the two sequences,
and the gap-free columns of its alignment and the equal ones among them are counted, as the
reference tables keep them. Shared by the make_*_pairs.py scripts of this folder."""
import os, subprocess, tempfile


def muscle(a, b):
    with tempfile.TemporaryDirectory() as d:
        with open(os.path.join(d, "in.fas"), "w") as f:
            f.write(">a\n%s\n>b\n%s\n" % (a, b))
        subprocess.run(["muscle", "-align", "in.fas", "-output", "out.fas"], cwd=d,
                       check=True, capture_output=True)
        rows = {}
        name = None
        for line in open(os.path.join(d, "out.fas")):
            line = line.strip()
            if line.startswith(">"):
                name = line[1:]
                rows[name] = ""
            else:
                rows[name] += line
    x, y = rows["a"], rows["b"]
    gapfree = sum(1 for p, q in zip(x, y) if p != "-" and q != "-")
    matches = sum(1 for p, q in zip(x, y) if p != "-" and q != "-" and p == q)
    return matches, gapfree
