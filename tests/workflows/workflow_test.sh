#!/usr/bin/env bash
# The Snakemake workflow on this machine: 4 shards of real data with the built-in aligner give
# the files of kvr run; after one shard's file is deleted, only that shard is aligned again;
# without the tree the merge streams and writes no session.
# Usage: workflow_test.sh BIN_DIR SOURCE_DIR
set -euo pipefail
bin=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/kvr-workflow-XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "workflow test: $*" >&2; exit 1; }

command -v snakemake >/dev/null || fail "snakemake is not installed (scripts/bootstrap installs it)"
input="$source/tests/data/its1_68.fasta"
cat > "$work/config.yaml" <<END
input: $input
aligner: builtin
shards: 4
tree: true
outdir: $work/out
END

# The kvr on the PATH, as the README runs it.
export PATH="$bin:$PATH"
run_workflow() {
  snakemake --snakefile "$source/workflows/Snakefile" --configfile "$work/config.yaml" \
    --directory "$work" --cores 2 --quiet rules > "$work/snakemake.log" 2>&1 ||
    { cat "$work/snakemake.log" >&2; fail "snakemake failed"; }
}
# The number of jobs of a rule that the last run planned, from its job stats table.
jobs_of() { awk -v rule="$1" '$1 == rule { print $2; exit }' "$work/snakemake.log"; }

kvr run "$input" --aligner builtin --tree --quiet --session "$work/run.kvr" \
  --scores "$work/run_col.txt" > "$work/run_order.txt"

run_workflow
cmp "$work/run.kvr" "$work/out/analysis.kvr" || fail "analysis.kvr differs from kvr run's session"
cmp "$work/run_col.txt" "$work/out/scores_col.txt" || fail "scores_col.txt differs from kvr run's"
cmp "$work/run_order.txt" "$work/out/order.txt" || fail "the order differs from kvr run's"
for k in 1 2 3 4; do [ -s "$work/out/shards/${k}_of_4.tsv" ] || fail "no shard $k"; done
[ "$(jobs_of pairs)" = 4 ] || fail "$(jobs_of pairs) pairs jobs ran, 4 expected"

# One shard lost: only it is aligned again, then the merge.
before=$(stat -c %Y.%s "$work"/out/shards/{1,2,4}_of_4.tsv)
rm "$work/out/shards/3_of_4.tsv"
sleep 1
run_workflow
[ -s "$work/out/shards/3_of_4.tsv" ] || fail "shard 3 was not aligned again"
[ "$(stat -c %Y.%s "$work"/out/shards/{1,2,4}_of_4.tsv)" = "$before" ] ||
  fail "shards 1, 2 and 4 were aligned again"
[ "$(jobs_of pairs)" = 1 ] || { cat "$work/snakemake.log" >&2; fail "$(jobs_of pairs) pairs jobs ran, 1 expected"; }
cmp "$work/run.kvr" "$work/out/analysis.kvr" || fail "analysis.kvr differs after the rerun"

# Without the tree: the streamed merge, the files of kvr run in input order, no session.
sed -i -e 's/^tree: true/tree: false/' -e "s|^outdir: .*|outdir: $work/streamed|" "$work/config.yaml"
kvr run "$input" --aligner builtin --quiet --scores "$work/input_col.txt" \
  --plot-data "$work/input_plt.txt" > "$work/input_order.txt"
run_workflow
cmp "$work/input_col.txt" "$work/streamed/scores_col.txt" || fail "streamed scores_col.txt differs"
cmp "$work/input_plt.txt" "$work/streamed/plot_data.txt" || fail "streamed plot_data.txt differs"
cmp "$work/input_order.txt" "$work/streamed/order.txt" || fail "the streamed order differs"
[ ! -e "$work/streamed/analysis.kvr" ] || fail "a session was written without the tree"
echo "workflow test: passed"
