#!/usr/bin/env python3
# The groups of kvr against SciPy's hierarchical clustering, an independent implementation: on
# real sets, at thresholds that include identities of the data themselves (the boundary), the
# partitions of --groups by complete and single linkage are those of
# scipy.cluster.hierarchy.linkage(method) + fcluster(criterion="distance") on 100 - percent.
#
# Complete linkage can depend on how equal linkages are broken; SciPy's nearest-neighbour chain
# breaks them by its own history. The greedy method is worked out here by brute force with the
# documented rule (docs/groups.md) and with other orders of the names: where they all give one
# partition it does not hang on a tie, and kvr must give SciPy's; where they differ, kvr must
# give the documented rule's. The square matrix that the distances come from is checked too (shape,
# diagonal, symmetry, exact single-precision texts), as are the group sizes and representatives.
#
# Usage: scipy_reference.py KVR DATA_FOLDER
import csv
import os
import subprocess
import sys
import tempfile

try:
    import numpy as np
    from scipy.cluster.hierarchy import fcluster, linkage
    from scipy.spatial.distance import squareform
except ImportError as error:
    sys.exit(f"scipy_reference: {error}: run scripts/bootstrap (python3-scipy, python3-numpy)")

SETS = ["its1_68.fasta", "rrna5s_48.fasta"]
FIXED = [50.0, 70.0, 80.0, 85.0, 90.0, 94.0, 95.0, 97.0, 98.0, 99.0, 100.0]


def run(*args):
    done = subprocess.run(args, capture_output=True, text=True)
    if done.returncode != 0:
        sys.exit(f"{' '.join(args)}: status {done.returncode}\n{done.stderr}")


def read_tsv(path):
    with open(path, newline="", encoding="utf-8") as f:
        text = f.read()
    assert "\r" not in text, f"{path}: CR in a file with LF line ends"
    return list(csv.reader(text.splitlines(), delimiter="\t", quoting=csv.QUOTE_NONE))


def session_percents(path):
    """The percents kvr groups with: each identity as the session keeps it (seven digits, read as
    single precision), times 100 worked out in double and rounded to single precision."""
    with open(path, encoding="utf-8", newline="") as f:
        lines = f.read().replace("\r\n", "\n").split("\n")
    close = next(k for k, line in enumerate(lines) if line.endswith("]]]"))
    n = (close + 1) // 2
    values = iter(lines[close + 1:])
    p = np.full((n, n), 100, dtype=np.float32)
    for i in range(1, n):
        for j in range(i):
            v = np.float32(np.float64(np.float32(next(values))) * 100)
            p[i, j] = p[j, i] = v
    return p


def square_percents(path, session):
    rows = read_tsv(path)
    names = rows[0][1:]
    assert rows[0][0] == "name", rows[0][:2]
    assert [r[0] for r in rows[1:]] == names, "row names differ from the header's"
    n = len(names)
    assert all(len(r) == n + 1 for r in rows[1:]), "rows of unequal length"
    assert all(rows[1 + i][1 + i] == "100" for i in range(n)), "diagonal not 100"
    p = session_percents(session)
    assert p.shape == (n, n)
    # Each text is the pipeline table's percent: the seven-digit identity with its point moved,
    # within a unit of the seventh digit of the single-precision percent.
    for i, r in enumerate(rows[1:]):
        assert r[1:] == [rows[1 + j][1 + i] for j in range(n)], "square matrix not symmetric"
        for j, v in enumerate(r[1:]):
            assert abs(float(v) - float(p[i, j])) <= 1e-5 * max(1.0, float(p[i, j])), (v, p[i, j])
    return names, p


def groups_table(path, thresholds):
    rows = read_tsv(path)
    header = ["name"]
    for t in thresholds:
        s = "_" + t if len(thresholds) > 1 else ""
        header += ["group" + s, "size" + s, "representative" + s]
    assert rows[0] == header, (rows[0], header)
    return rows[1:]


def greedy_complete(p, names, order=None):
    # The greedy method by its definition, to the last merge: merge the clusters of the highest
    # linkage; equal linkages by the smaller, then the larger, of the two clusters' smallest name
    # ranks (names by bytes, equal names by input order), or of their places in order when given.
    # Returns the merges (linkage, the two clusters' members).
    n = len(names)
    if order is None:
        order = sorted(range(n), key=lambda s: (names[s].encode(), s))
    key = [0] * n
    for r, s in enumerate(order):
        key[s] = r
    link = p.astype(np.float64).copy()
    alive = list(range(n))
    members = {s: [s] for s in range(n)}
    merges = []
    while len(alive) > 1:
        sub = link[np.ix_(alive, alive)]
        np.fill_diagonal(sub, -np.inf)
        top = sub.max()
        tied = [(min(key[alive[i]], key[alive[j]]), max(key[alive[i]], key[alive[j]]), alive[i],
                 alive[j]) for i, j in zip(*np.nonzero(sub == top)) if i < j]
        tied.sort()
        i, j = tied[0][2], tied[0][3]
        merges.append((top, list(members[i]), list(members[j])))
        link[i, :] = np.minimum(link[i, :], link[j, :])
        link[:, i] = link[i, :]
        key[i] = min(key[i], key[j])
        members[i] += members.pop(j)
        alive.remove(j)
    return merges


def cut(merges, n, t):
    label = list(range(n))
    for height, first, second in merges:
        if height >= t:
            for s in second:
                label[s] = label[first[0]]
    return label


def same_partition(a, b):
    # Two labelings give the same partition when each label of one maps to one label of the other.
    return len(set(zip(a, b))) == len(set(a)) == len(set(b))


def check_set(kvr, fasta, folder):
    base = os.path.join(folder, os.path.basename(fasta))
    square, session = base + ".square.tsv", base + ".kvr"
    # The identities as the session keeps them, which the groups below are made from.
    run(kvr, "run", fasta, "--aligner", "builtin", "--quiet", "--session", session)
    run(kvr, "show", session, "--quiet", "--square", square)
    names, p = square_percents(square, session)
    n = len(names)
    # Thresholds at identities of the set itself: a pair exactly at one is in, as in SciPy.
    values = sorted(set(p[np.triu_indices(n, 1)].tolist()))
    picked = [np.float32(values[k]) for k in range(0, len(values), max(1, len(values) // 12))]
    thresholds = FIXED + [float(t) for t in picked]
    texts = [str(np.float32(t)).removesuffix(".0") for t in thresholds]
    merges = greedy_complete(p, names)
    rng = np.random.default_rng(68)
    others = [greedy_complete(p, names, rng.permutation(n).tolist()) for _ in range(6)]
    others.append(greedy_complete(p, names, list(range(n))[::-1]))
    checked, onTies = 0, 0
    for method in ("complete", "single"):
        table = base + "." + method + ".tsv"
        run(kvr, "show", session, "--quiet", "--groups", table, "--groups-at", ",".join(texts),
            "--linkage", method)
        rows = groups_table(table, texts)
        assert len(rows) == n
        tree = linkage(squareform(100.0 - p.astype(np.float64), checks=False), method=method)
        for k, t in enumerate(thresholds):
            t = float(np.float32(t))
            ours = [int(r[1 + 3 * k]) for r in rows]
            expected = cut(merges, n, t)
            if method == "complete" and not all(
                    same_partition(expected, cut(other, n, t)) for other in others):
                if not same_partition(ours, expected):
                    sys.exit(f"{fasta}, complete linkage at {texts[k]} (after a tie): kvr {ours}, "
                             f"the greedy method {expected}")
                onTies += 1
            else:
                theirs = fcluster(tree, t=100.0 - t, criterion="distance").tolist()
                if not same_partition(ours, theirs):
                    sys.exit(f"{fasta}, {method} linkage at {texts[k]}: kvr {ours}, scipy {theirs}")
                if method == "complete":
                    assert same_partition(theirs, expected), "the greedy reference is wrong"
            # Numbers in the order of first members; sizes and representatives as defined.
            firsts = []
            for g in ours:
                if g not in firsts:
                    firsts.append(g)
            assert firsts == list(range(1, len(firsts) + 1)), ours
            for g in firsts:
                members = [s for s in range(n) if ours[s] == g]
                means = [sum(float(p[a, b]) for b in members if b != a) for a in members]
                best = members[means.index(max(means))]
                for s in members:
                    assert int(rows[s][2 + 3 * k]) == len(members)
                    assert rows[s][3 + 3 * k] == rows[best][0], (rows[s], rows[best][0])
            checked += 1
    groups = len(set(int(r[1 + 3 * FIXED.index(95.0)]) for r in rows))
    # The comparison with SciPy is the point: most thresholds must not hang on a tie.
    assert checked - onTies > checked // 2, (checked, onTies)
    print(f"{os.path.basename(fasta)}: {n} sequences, {checked - onTies} partitions as SciPy's, "
          f"{onTies} decided by ties as the greedy method's ({groups} single-linkage groups at "
          f"95 %)")


def main():
    kvr, data = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as folder:
        for name in SETS:
            check_set(kvr, os.path.join(data, name), folder)


if __name__ == "__main__":
    main()
