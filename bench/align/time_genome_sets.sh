#!/bin/sh
# Times `kvr run` (the built-in aligner, every pair, two threads) on the synthetic genome sets of
# bench_genome_sets: wall and processor time, peak memory, the load average around the run (the
# machine may be shared: processor time is the steadier figure) and how many pairs were exact.
#   bench/align/time_genome_sets.sh [BUILD_FOLDER [SET...]]     SET: phage corona zika
# Goals: phage at most 15 minutes and 1.5 GB, zika at most 3 minutes (two processors).
set -eu
build=${1:-build}
[ $# -gt 0 ] && shift
sets=${*:-zika corona phage}
bin=$build/bin
[ -x "$bin/kvr" ] && [ -x "$bin/bench_genome_sets" ] || {
    echo "build kvr and bench_genome_sets first: cmake --build $build --target bench_genome_sets" >&2
    exit 2
}
[ -x /usr/bin/time ] || { echo "needs GNU time (/usr/bin/time)" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '%-7s %6s %9s %10s %8s %11s %7s %7s\n' set pairs wall processor peak load exact bounded
for set in $sets; do
    "$bin/bench_genome_sets" "$set" "$work/$set.fasta"
    load_before=$(cut -d' ' -f1 /proc/loadavg)
    /usr/bin/time -v -o "$work/time" "$bin/kvr" run "$work/$set.fasta" --threads 2 \
        --table "$work/table.tsv" --quiet >/dev/null
    load_after=$(cut -d' ' -f1 /proc/loadavg)
    awk -v set="$set" -v load="$load_before-$load_after" -v table="$work/table.tsv" '
        /Elapsed \(wall clock\)/ { n = split($NF, t, ":"); wall = 0
                                   for (k = 1; k <= n; ++k) wall = wall * 60 + t[k] }
        /User time/ { cpu += $NF }
        /System time/ { cpu += $NF }
        /Maximum resident set size/ { peak = $NF / 1024 }
        END {
            # The column named exact (the table has columns after it).
            while ((getline line < table) > 0) {
                n = split(line, f, "\t")
                if (++rows == 1) { for (k = 1; k <= n; ++k) if (f[k] == "exact") col = k; continue }
                if (f[col] == 1) ++exact; else ++bounded
            }
            printf "%-7s %6d %8.1fs %9.1fs %6.0fMB %11s %7d %7d\n", set, rows - 1, wall, cpu,
                   peak, load, exact, bounded
        }' "$work/time"
done
