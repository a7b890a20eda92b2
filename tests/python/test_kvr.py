# SPDX-License-Identifier: GPL-3.0-or-later
"""The Python module kvr against the program kvr: the same identities, table and session bytes,
its exceptions, and Ctrl-C during a run."""

import io
import os
import signal
import subprocess
import sys
import tempfile
import time
import unittest

import numpy

import kvr

BIN = os.environ["KVR_BIN_DIR"]
DATA = os.environ["KVR_TEST_DATA"]
RRNA = os.path.join(DATA, "rrna5s_48.fasta")


def kvr_program(*args):
    done = subprocess.run([os.path.join(BIN, "kvr"), *args, "--quiet"], capture_output=True,
                          check=True)
    return done.stdout


def without_date(session):
    """A session's bytes without the date of its run, the one line two runs never share."""
    return b"".join(line for line in session.splitlines(keepends=True)
                    if not line.startswith(b"#date\t"))


class Align(unittest.TestCase):
    def test_pair_counts_and_rows(self):
        # Records 1 and 3 of rrna5s_48, whose MUSCLE alignment was counted by hand
        # (tests/data/README.md): 121 columns, 9 with a gap, 45 mismatches.
        records = kvr.run(RRNA).sequences
        pair = kvr.align(records[0], records[2])
        self.assertEqual((pair["columns"], pair["gap_free"], pair["matches"]), (121, 112, 67))
        self.assertEqual(pair["identity"], float(numpy.float32(67 / 112)))
        self.assertEqual(pair["first"].replace("-", ""), records[0])
        self.assertEqual(pair["second"].replace("-", ""), records[2])
        self.assertEqual(len(pair["first"]), 121)


class Run(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.result = kvr.run(RRNA, threads=2)
        cls.table = kvr_program("run", RRNA, "--table", "-")

    def test_identities_are_those_of_kvr_run(self):
        identity = self.result.identity
        self.assertEqual(identity.shape, (48, 48))
        self.assertEqual(identity.dtype, numpy.float32)
        self.assertFalse(identity.flags.writeable)
        numpy.testing.assert_array_equal(identity, identity.T)
        numpy.testing.assert_array_equal(numpy.diag(identity), numpy.ones(48))
        index = {name: i for i, name in enumerate(self.result.names)}
        rows = self.table.decode().split("\n")[1:-1]
        self.assertEqual(len(rows), 48 * 47 // 2)
        for row in rows:
            first, second, value = row.split("\t")[:3]
            # The table writes seven digits.
            self.assertAlmostEqual(identity[index[first], index[second]], float(value), places=6)
        self.assertEqual(self.result._core.table_text().encode(), self.table)
        self.assertEqual(self.result.order, list(range(48)))

    def test_table_is_kvrs_table(self):
        import pandas
        expected = pandas.read_csv(io.BytesIO(self.table), sep="\t", keep_default_na=False,
                                   dtype={"seq1": str, "seq2": str})
        frame = self.result.table()
        self.assertEqual(list(frame.columns), list(expected.columns))
        pandas.testing.assert_frame_equal(frame, expected, check_dtype=False)
        # Without pandas, the same rows as tuples.
        saved = sys.modules.get("pandas")
        sys.modules["pandas"] = None
        try:
            rows = self.result.table()
        finally:
            sys.modules["pandas"] = saved
        self.assertEqual(len(rows), 48 * 47 // 2)
        self.assertEqual(rows[0], tuple(expected.iloc[0]))

    def test_records_are_analysed_as_their_file(self):
        records = list(zip(self.result.names, self.result.sequences))
        memory = kvr.run(records, threads=2)
        numpy.testing.assert_array_equal(memory.identity, self.result.identity)
        self.assertEqual(memory.names, self.result.names)

    def test_tree_order_is_kvr_runs(self):
        tree = kvr.run(RRNA, tree=True)
        printed = kvr_program("run", RRNA, "--tree").decode().split("\n")[:-1]
        self.assertEqual(tree.order, [int(line.split("\t")[0]) - 1 for line in printed])
        self.assertNotEqual(tree.order, list(range(48)))

    def test_session_round_trip(self):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "a.kvr")
            self.result.save_session(path)
            kvr_program("run", RRNA, "--session", os.path.join(folder, "b.kvr"))
            with open(path, "rb") as a, open(os.path.join(folder, "b.kvr"), "rb") as b:
                # kvr's session, record included, but for the date of the run.
                self.assertEqual(without_date(a.read()), without_date(b.read()))
            read = kvr.read_session(path)
            self.assertEqual(read.provenance, self.result.provenance)
            self.assertIsNone(read.provenance_tree)
            # A session keeps the names as kvr cleans them.
            self.assertEqual(read.names, self.result.clean_names)
            self.assertEqual(read.clean_names, self.result.clean_names)
            numpy.testing.assert_allclose(read.identity, self.result.identity, atol=1e-6)
            self.assertIsNone(read.pair_counts(0, 1))
            self.assertEqual(self.result.pair_counts(0, 2), (112, 67))

    def test_record_is_kvr_runs_for_the_same_input_and_options(self):
        with tempfile.TemporaryDirectory() as folder:
            tree = kvr.run(RRNA, tree=True, pair_timeout=30)
            path = os.path.join(folder, "tree.kvr")
            tree.save_session(path)
            kvr_program("run", RRNA, "--tree", "--pair-timeout", "30", "--session",
                        os.path.join(folder, "kvr.kvr"))
            made = kvr.read_session(os.path.join(folder, "kvr.kvr"))
            record = kvr.read_session(path).provenance
            self.assertEqual(list(record), list(made.provenance))
            self.assertEqual({**record, "date": ""}, {**made.provenance, "date": ""})
            self.assertEqual(record["input"], RRNA)
            self.assertEqual(record["tree-order"], "yes")
            self.assertEqual(kvr.read_session(path).provenance_tree, made.provenance_tree)
            self.assertTrue(made.provenance_tree.endswith(";"))
            memory = kvr.run(list(zip(tree.names, tree.sequences)))
            self.assertEqual(memory.provenance["input"], "the records")
            self.assertEqual(memory.provenance["input-sha256"], "unknown")

    def test_progress_function_sees_the_run_and_may_cancel_it(self):
        steps = []
        kvr.run(RRNA, progress=lambda step, fraction: steps.append((step, fraction)))
        self.assertTrue(steps)
        self.assertTrue(all(0 <= fraction <= 1 for _, fraction in steps))
        with self.assertRaisesRegex(RuntimeError, "cancelled"):
            kvr.run(RRNA, progress=lambda step, fraction: False)

        def fails(step, fraction):
            raise LookupError("from the progress function")
        with self.assertRaisesRegex(LookupError, "from the progress function"):
            kvr.run(RRNA, progress=fails)


class Errors(unittest.TestCase):
    def test_each_refusal_raises_its_kind(self):
        with tempfile.TemporaryDirectory() as folder:
            junk = os.path.join(folder, "junk.kvr")
            with open(junk, "w") as out:
                out.write(">a\nACGT\n")
            cases = [
                (OSError, "does not exist", lambda: kvr.run(os.path.join(folder, "no.fasta"))),
                (OSError, "does not exist", lambda: kvr.read_session(os.path.join(folder, "no"))),
                (ValueError, "Only one record", lambda: kvr.run([("a", "ACGT")])),
                (ValueError, "identical", lambda: kvr.run([("a", "ACGT"), ("b", "ACGT")])),
                (ValueError, "pair", lambda: kvr.run(["ACGT", "ACGA"])),
                (ValueError, "blast", lambda: kvr.run(RRNA, aligner="blast")),
                (ValueError, "threads", lambda: kvr.run(RRNA, threads=-1)),
                (ValueError, "no residues", lambda: kvr.align("", "ACGT")),
                (ValueError, r"\[\[\[ \]\]\]", lambda: kvr.read_session(junk)),
                (OSError, "", lambda: kvr.run(RRNA).save_session(os.path.join(folder, "x", "y"))),
            ]
            for kind, message, call in cases:
                with self.subTest(message=message):
                    with self.assertRaisesRegex(kind, message):
                        call()

    def test_missing_aligner_is_a_runtime_error(self):
        os.environ["KVR_MUSCLE"] = "/nonexistent/muscle -align {in} -output {out}"
        try:
            with self.assertRaisesRegex(RuntimeError, "/nonexistent/muscle"):
                kvr.run(RRNA, aligner="muscle")
        finally:
            del os.environ["KVR_MUSCLE"]


# A run of 780 unrelated 3 kb pairs (a minute or more), interrupted as it aligns.
CHILD = """
import random, kvr
random.seed(7)
records = [("s%d" % i, "".join(random.choice("ACGT") for _ in range(3000))) for i in range(40)]
def progress(step, fraction):
    if step.startswith("Aligning"):
        print("aligning", flush=True)
try:
    kvr.run(records, threads=2, progress=progress)
    print("finished", flush=True)
except KeyboardInterrupt:
    print("interrupted", flush=True)
"""


class Interrupt(unittest.TestCase):
    def test_ctrl_c_stops_a_run_with_keyboard_interrupt(self):
        child = subprocess.Popen([sys.executable, "-c", CHILD], stdout=subprocess.PIPE, text=True)
        try:
            self.assertEqual(child.stdout.readline().strip(), "aligning")
            child.send_signal(signal.SIGINT)
            sent = time.monotonic()
            rest = child.communicate(timeout=30)[0]
            waited = time.monotonic() - sent
        finally:
            child.kill()
        self.assertEqual(rest.strip().split("\n")[-1], "interrupted")
        self.assertEqual(child.returncode, 0)
        self.assertLess(waited, 2.0)


if __name__ == "__main__":
    unittest.main()
