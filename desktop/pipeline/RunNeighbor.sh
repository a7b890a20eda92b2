#!/bin/sh
# Runs PHYLIP's neighbor on "infile" in the current folder, answering its menu with the lines of
# "config", and leaves the tree in "outtree" (and neighbor's report in "outfile").
#
# KVRv1 and kvr start this script in their own exchange folder after writing "infile" and
# "config", with KVR_NEIGHBOR set to the neighbor program they found (see docs/aligners.md).
# You may edit it, for example to run another neighbour-joining program: what matters is that
# "outtree" holds a rooted Newick tree of the taxa of "infile", with the outgroup last.

neighbor=${KVR_NEIGHBOR:-}
if [ -z "$neighbor" ]; then
    if command -v neighbor >/dev/null 2>&1; then
        neighbor=neighbor
    elif [ -x /usr/lib/phylip/bin/neighbor ]; then
        neighbor=/usr/lib/phylip/bin/neighbor
    else
        echo "RunNeighbor.sh: error: PHYLIP's neighbor is not installed (sudo apt-get install phylip)" >&2
        exit 127
    fi
fi

for file in infile config; do
    if [ ! -f "$file" ]; then
        echo "RunNeighbor.sh: error: no \"$file\" in $(pwd)" >&2
        exit 1
    fi
done

# neighbor asks before it overwrites its output files.
rm -f outfile outtree
exec "$neighbor" < config
