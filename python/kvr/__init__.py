# SPDX-License-Identifier: GPL-3.0-or-later
"""KVR: pairwise identity of nucleotide sequences.

    >>> import kvr
    >>> kvr.align("ACGTACGT", "ACGAACGT")["identity"]
    >>> result = kvr.run("sequences.fasta", aligner="builtin", tree=True)
    >>> result.identity        # n x n numpy array, input order
    >>> result.table()         # kvr run --table as a pandas DataFrame

The identities are those of the program kvr (`kvr run`), bit for bit. Runs release the GIL and
stop on Ctrl-C (KeyboardInterrupt). Refused input raises ValueError, files OSError, and failed
aligners (or a tree that could not be made) RuntimeError.
"""

import os

from . import _kvr

__all__ = ["align", "run", "read_session", "Analysis", "ALIGNERS"]

ALIGNERS = ("builtin", "muscle", "clustalw", "mafft")

TABLE_COLUMNS = ("seq1", "seq2", "identity", "percent", "aligned_columns", "matches",
                 "coverage1", "coverage2", "exact", "compared_columns")


def align(a, b, aligner="builtin"):
    """Aligns two sequences as kvr run aligns a pair.

    Returns a dict: identity (0 to 1), columns, gap_free (columns without a gap), matches (equal
    symbols among them), first and second (the aligned rows, "-" for gaps).
    """
    return _kvr.align(a, b, aligner)


def run(path_or_records, aligner="builtin", threads=0, tree=False, pair_timeout=0,
        progress=None):
    """Aligns every pair and orders the sequences, as `kvr run` does.

    path_or_records: a FASTA file (plain, gzip, bzip2, xz or zstd) or a list of (name, sequence)
    tuples. threads: aligners at once, 0 for one per processor. tree: order by a neighbour-joining
    tree (PHYLIP). pair_timeout: seconds a pair may take, 0 for no limit. progress: called now and
    then with (step, fraction); returning False cancels the run (RuntimeError).
    """
    if isinstance(path_or_records, (str, bytes, os.PathLike)):
        path = os.fsdecode(os.fspath(path_or_records))
        core = _kvr.run_file(path, aligner, threads, tree, pair_timeout, progress)
    else:
        core = _kvr.run_records(path_or_records, aligner, threads, tree, pair_timeout, progress)
    return Analysis(core)


def read_session(path):
    """Reads a session (.kvr) as `kvr show` does: its order is the input and display order."""
    return Analysis(_kvr.read_session(os.fsdecode(os.fspath(path))))


def _number(text, kind):
    return kind(text) if text != "" else None


class Analysis:
    """The sequences in input order, every pair's identity, and the display order."""

    def __init__(self, core):
        self._core = core

    def __len__(self):
        return len(self._core)

    def __repr__(self):
        return f"<kvr.Analysis of {len(self)} sequences>"

    @property
    def names(self):
        """The names as the FASTA file gives them (without ">")."""
        return self._core.names

    @property
    def clean_names(self):
        """The names as kvr keeps them (sessions, the scores file)."""
        return self._core.clean_names

    @property
    def sequences(self):
        """The residues as kvr keeps them, one string each."""
        return self._core.residues

    @property
    def identity(self):
        """The n x n identities (float32, 0 to 1) in input order: a read-only numpy array."""
        return self._core.identity

    @property
    def order(self):
        """The display order: the input index of the sequence shown at each row."""
        return self._core.order

    @property
    def warnings(self):
        """What the run found worth a word: duplicate names, commas in names, ..."""
        return self._core.warnings

    @property
    def provenance(self):
        """How the identities were made, as kvr's sessions keep it and `kvr info` shows it: a dict
        in kvr's order (program, command, aligner, aligner-version, aligner-command, ...,
        ambiguous, pair-timeout, tree-order, input, input-sha256, date); a run's is the one
        `kvr run` makes for the same input and options; empty when not known."""
        return self._core.provenance

    @property
    def provenance_tree(self):
        """The Newick tree that ordered the sequences, as the record keeps it; None when none."""
        return self._core.provenance_tree or None

    def pair_counts(self, i, j):
        """(gap-free columns, matches) of pair i, j as aligned by this run; None for a session."""
        return self._core.pair_counts(i, j)

    def rows(self):
        """The rows of `kvr run --table`: every pair once, in input order."""
        lines = self._core.table_text().split("\n")[1:-1]
        kinds = (str, str, float, float, int, int, float, float, int, int)
        return [tuple(_number(field, kind) if kind is not str else field
                      for field, kind in zip(line.split("\t"), kinds)) for line in lines]

    def table(self):
        """The table of `kvr run --table` as a pandas DataFrame (a list of rows without pandas)."""
        rows = self.rows()
        try:
            import pandas
        except ImportError:
            return rows
        frame = pandas.DataFrame(rows, columns=list(TABLE_COLUMNS))
        for column in ("aligned_columns", "matches", "exact", "compared_columns"):
            frame[column] = frame[column].astype("Int64")
        return frame

    def save_session(self, path):
        """Writes the session (.kvr) that KVRv1 and kvr show open, in display order, with the
        record of how its identities were made."""
        self._core.save_session(os.fsdecode(os.fspath(path)))
