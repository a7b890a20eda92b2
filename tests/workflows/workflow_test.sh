#!/usr/bin/env bash
# The Snakemake workflow on this machine: 4 shards of real data with the built-in aligner give
# the files of kvr run (the table with its counts, the groups; the session up to its record of
# how it was made), and every job keeps a log that ends with its exit status; after one shard's
# file is deleted, only that shard is aligned again; without the tree and the groups the merge
# streams and writes no session.
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

# A session's lines up to its record of how the identities were made (which names the command
# and the date), and one line of that record.
identities() { grep -av '^#' "$1"; }
record() { grep -a "^#$2"$'\t' "$1" | tr -d '\r'; }
# Every job's log is whole: it ends with the exit status 0.
check_logs() {
  for log in "$@"; do
    [ "$(tail -n 1 "$log")" = "exit status: 0" ] || { cat "$log" >&2; fail "$log does not end well"; }
  done
}

kvr run "$input" --aligner builtin --tree --quiet --session "$work/run.kvr" \
  --scores "$work/run_col.txt" --table "$work/run.tsv" --groups "$work/run_groups.tsv" \
  > "$work/run_order.txt"

run_workflow
cmp <(identities "$work/run.kvr") <(identities "$work/out/analysis.kvr") ||
  fail "analysis.kvr differs from kvr run's session"
for key in aligner aligner-version tree-order input-sha256 tree; do
  [ "$(record "$work/run.kvr" "$key")" = "$(record "$work/out/analysis.kvr" "$key")" ] ||
    fail "the session's record of $key differs from kvr run's"
done
[ "$(record "$work/out/analysis.kvr" shards)" = $'#shards\t4' ] || fail "the record names no shards"
cmp "$work/run_col.txt" "$work/out/scores_col.txt" || fail "scores_col.txt differs from kvr run's"
cmp "$work/run.tsv" "$work/out/pairs.tsv" || fail "pairs.tsv differs from kvr run's table"
awk -F'\t' 'NR > 1 && $5 == "" { exit 1 }' "$work/out/pairs.tsv" || fail "pairs.tsv lacks counts"
cmp "$work/run_groups.tsv" "$work/out/groups.tsv" || fail "groups.tsv differs from kvr run's"
cmp "$work/run_order.txt" "$work/out/order.txt" || fail "the order differs from kvr run's"
for k in 1 2 3 4; do [ -s "$work/out/shards/${k}_of_4.tsv" ] || fail "no shard $k"; done
[ "$(jobs_of pairs)" = 4 ] || fail "$(jobs_of pairs) pairs jobs ran, 4 expected"
check_logs "$work"/out/logs/pairs_{1,2,3,4}_of_4.log "$work/out/logs/merge.log"
grep -q '^aligner: builtin, version builtin (kvr ' "$work/out/logs/pairs_1_of_4.log" ||
  fail "the shard's log names no aligner version"

# One shard lost: only it is aligned again, then the merge.
before=$(stat -c %Y.%s "$work"/out/shards/{1,2,4}_of_4.tsv)
rm "$work/out/shards/3_of_4.tsv"
sleep 1
run_workflow
[ -s "$work/out/shards/3_of_4.tsv" ] || fail "shard 3 was not aligned again"
[ "$(stat -c %Y.%s "$work"/out/shards/{1,2,4}_of_4.tsv)" = "$before" ] ||
  fail "shards 1, 2 and 4 were aligned again"
[ "$(jobs_of pairs)" = 1 ] || { cat "$work/snakemake.log" >&2; fail "$(jobs_of pairs) pairs jobs ran, 1 expected"; }
cmp <(identities "$work/run.kvr") <(identities "$work/out/analysis.kvr") ||
  fail "analysis.kvr differs after the rerun"
check_logs "$work/out/logs/pairs_3_of_4.log" "$work/out/logs/merge.log"

# Without the tree and the groups: the streamed merge, the files of kvr run in input order, no
# session.
sed -i -e 's/^tree: true/tree: false/' -e "s|^outdir: .*|outdir: $work/streamed|" "$work/config.yaml"
echo "groups: false" >> "$work/config.yaml"
kvr run "$input" --aligner builtin --quiet --scores "$work/input_col.txt" \
  --plot-data "$work/input_plt.txt" --table "$work/input.tsv" > "$work/input_order.txt"
run_workflow
cmp "$work/input_col.txt" "$work/streamed/scores_col.txt" || fail "streamed scores_col.txt differs"
cmp "$work/input_plt.txt" "$work/streamed/plot_data.txt" || fail "streamed plot_data.txt differs"
cmp "$work/input.tsv" "$work/streamed/pairs.tsv" || fail "streamed pairs.tsv differs"
cmp "$work/input_order.txt" "$work/streamed/order.txt" || fail "the streamed order differs"
[ ! -e "$work/streamed/analysis.kvr" ] || fail "a session was written without the tree"
[ ! -e "$work/streamed/groups.tsv" ] || fail "groups were written with groups: false"
check_logs "$work/streamed/logs/merge.log"
echo "workflow test: passed"
