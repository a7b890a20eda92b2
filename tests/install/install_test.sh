#!/usr/bin/env bash
# cmake --install into a temporary prefix, then the installed programs as a user runs them:
# kvr run on real data gives the build's results, the work files go to the user's data folder
# and never into the prefix, the user's aligners.conf wins over the installed one, and the
# desktop entry, AppStream metadata, file types and man pages are valid.
#
#   install_test.sh BUILD_FOLDER SOURCE_FOLDER VERSION INFERENCE_BUILT(0|1)
set -uo pipefail
build=$1 source=$2 version=$3 inference=$4
. "$(dirname "$0")/check.sh"

prefix=$work/prefix
if ! cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
  cat "$work/install.log" >&2
  echo "FAIL: cmake --install" >&2
  exit 1
fi

# A user of our own: nothing of the machine's user is read or written.
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
unset KVR_MUSCLE KVR_CLUSTALW KVR_MAFFT KVR_NEIGHBOR
mkdir -p "$HOME"

programs=(KVRv1 kvr)
[ "$inference" = 1 ] && programs+=(TOLVEN_Inference)
for program in "${programs[@]}"; do
  [ -x "$prefix/bin/$program" ] || fail "bin/$program is not installed"
done
[ -x "$prefix/share/kvr/RunNeighbor.sh" ] || fail "share/kvr/RunNeighbor.sh is not executable"
for file in share/kvr/aligners.conf share/applications/org.kvr.KVRv1.desktop \
  share/icons/hicolor/scalable/apps/org.kvr.KVRv1.svg share/mime/packages/kvr.xml \
  share/metainfo/org.kvr.KVRv1.metainfo.xml share/man/man1/kvr.1 share/man/man1/kvr-run.1 \
  share/man/man1/KVRv1.1; do
  [ -f "$prefix/$file" ] || fail "$file is not installed"
done

# One version everywhere.
expect_equal "kvr --version" "$("$prefix/bin/kvr" --version)" "kvr $version"
expect_equal "kvr version" "$("$prefix/bin/kvr" version)" "kvr $version"
# The desktop program answers without a display (none is set here).
expect_equal "KVRv1 --version" "$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
  "$prefix/bin/KVRv1" --version)" "KVRv1 $version"
if [ "$inference" = 1 ]; then
  [ -f "$prefix/share/man/man1/TOLVEN_Inference.1" ] || fail "TOLVEN_Inference.1 is not installed"
  expect_equal "TOLVEN_Inference --version" "$("$prefix/bin/TOLVEN_Inference" --version)" \
    "TOLVEN_Inference $version"
fi
grep -q "release version=\"$version\"" "$prefix/share/metainfo/org.kvr.KVRv1.metainfo.xml" ||
  fail "the AppStream release is not $version"
grep -q "^\.TH KVR \"1\" .* \"kvr $version\"" "$prefix/share/man/man1/kvr.1" ||
  fail "the man page does not carry kvr $version"
grep -q 'kvr\\-run' "$prefix/share/man/man1/kvr.1" || fail "kvr.1 does not point to kvr-run(1)"
grep -q '\\-\\-aligner' "$prefix/share/man/man1/kvr-run.1" || fail "kvr-run.1 lacks --aligner"

# Real data (three 5S rRNAs), a real aligner and the tree: the installed kvr run agrees with the
# build's.
find "$prefix" | sort >"$work/prefix-before"
awk '/^>/ { n++ } n <= 3' "$source/tests/data/rrna5s_48.fasta" >"$work/three.fasta"
mkdir -p "$work/run"
(
  cd "$work/run" || exit 1
  "$build/bin/kvr" run ../three.fasta --aligner mafft --tree --scores build.csv --quiet \
    >build.order 2>build.err || echo "build kvr run failed: $(cat build.err)" >&2
  "$prefix/bin/kvr" run ../three.fasta --aligner mafft --tree --scores installed.csv --quiet \
    >installed.order 2>installed.err || echo "installed kvr run failed: $(cat installed.err)" >&2
)
expect_equal "lines of the installed score table" "$(wc -l <"$work/run/installed.csv")" 4
expect_same_file "order" "$work/run/installed.order" "$work/run/build.order"
expect_same_file "scores" "$work/run/installed.csv" "$work/run/build.csv"
[ -d "$XDG_DATA_HOME/kvr/tmp" ] || fail "no work folder in \$XDG_DATA_HOME/kvr/tmp"
find "$prefix" | sort >"$work/prefix-after"
expect_same_file "the prefix after the run" "$work/prefix-after" "$work/prefix-before"

# The user's own aligners.conf wins over the installed one: a "MAFFT" that copies the pair file
# gives the known results of the fixture.
mkdir -p "$XDG_CONFIG_HOME/kvr"
printf 'mafft = cp {in} {out}\n' >"$XDG_CONFIG_HOME/kvr/aligners.conf"
(
  cd "$work/run" || exit 1
  "$prefix/bin/kvr" run "$source/tests/data/kvr_run/families.fasta" --aligner mafft --tree \
    --scores own.csv --quiet >own.order 2>own.err || echo "kvr run failed: $(cat own.err)" >&2
)
expect_same_file "order with the user's aligners.conf" "$work/run/own.order" \
  "$source/tests/data/kvr_run/families_tree_order.txt"
expect_same_file "scores with the user's aligners.conf" "$work/run/own.csv" \
  "$source/tests/data/kvr_run/families_tree_scores.csv"

# The library: a program built against the installed CMake package kvr (libkvr and its header),
# and the installed Python module, give the build's kvr table and tree order.
[ -f "$prefix/include/kvr/kvr.h" ] || fail "include/kvr/kvr.h is not installed"
mkdir -p "$work/user"
cat >"$work/user/CMakeLists.txt" <<'EOF_CMAKE'
cmake_minimum_required(VERSION 3.25)
project(user CXX)
set(CMAKE_CXX_STANDARD 20)
find_package(kvr 1.0 REQUIRED)
add_executable(user user.cpp)
target_link_libraries(user PRIVATE kvr::kvr)
EOF_CMAKE
cat >"$work/user/user.cpp" <<'EOF_CPP'
#include <kvr/kvr.h>
#include <iostream>
int main(int, char** argv) {
    kvr::api::Analysis analysis;
    const kvr::api::Result result = kvr::api::RunFile(argv[1], {}, analysis);
    if (!result.Ok()) {
        std::cerr << kvr::api::StatusName(result.status) << ": " << result.message << "\n";
        return 1;
    }
    return kvr::api::WriteTable(std::cout, analysis).Ok() ? 0 : 1;
}
EOF_CPP
"$build/bin/kvr" run "$work/three.fasta" --table "$work/run/kvr.tsv" --quiet ||
  fail "build kvr run --table"
if cmake -S "$work/user" -B "$work/user/build" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" \
  >"$work/user.log" 2>&1 && cmake --build "$work/user/build" >>"$work/user.log" 2>&1; then
  "$work/user/build/user" "$work/three.fasta" >"$work/run/user.tsv" 2>"$work/run/user.err" ||
    fail "a program built against libkvr: $(cat "$work/run/user.err")"
  expect_same_file "table of a program built against libkvr" "$work/run/user.tsv" \
    "$work/run/kvr.tsv"
else
  fail "a program cannot be built against the installed kvr package: $(cat "$work/user.log")"
fi
module=$(find "$prefix" -path '*-packages/kvr/__init__.py')
if [ -n "$module" ]; then
  "$prefix/bin/kvr" run "$work/three.fasta" --tree --quiet >"$work/run/tree.order" ||
    fail "installed kvr run --tree"
  PYTHONDONTWRITEBYTECODE=1 PYTHONPATH=$(dirname "$(dirname "$module")") "${KVR_PYTHON:-python3}" \
    - "$work/three.fasta" "$work/run/python" <<'EOF_PY' 2>"$work/python.err" ||
import sys, kvr
result = kvr.run(sys.argv[1])
open(sys.argv[2] + ".tsv", "w").write(result._core.table_text())
tree = kvr.run(sys.argv[1], tree=True)
open(sys.argv[2] + ".order", "w").write(
    "".join("%d\t>%s\n" % (i + 1, tree.clean_names[i]) for i in tree.order))
EOF_PY
    fail "the installed Python module: $(cat "$work/python.err")"
  expect_same_file "table of the installed Python module" "$work/run/python.tsv" "$work/run/kvr.tsv"
  expect_same_file "tree order of the installed Python module" "$work/run/python.order" \
    "$work/run/tree.order"
fi

# KVRv1 starts from the prefix (and keeps running until stopped).
QT_QPA_PLATFORM=offscreen timeout 3 "$prefix/bin/KVRv1" --no-splash >"$work/kvrv1.log" 2>&1
status=$?
[ "$status" -eq 124 ] || fail "KVRv1 ended with status $status: $(cat "$work/kvrv1.log")"

# The desktop files are valid.
desktop-file-validate "$prefix/share/applications/org.kvr.KVRv1.desktop" ||
  fail "desktop-file-validate"
appstreamcli validate-tree --no-net "$prefix" >"$work/appstream.log" 2>&1 ||
  fail "appstreamcli validate-tree: $(cat "$work/appstream.log")"

# The install has told the desktop: sessions are known by their extension and, without one, by
# "[[[>" at the start, FASTA files by their extension, and KVRv1 opens both.
grep -qx 'application/x-kvr-session=org.kvr.KVRv1.desktop;' \
  "$prefix/share/applications/mimeinfo.cache" || fail "no KVRv1 for sessions in mimeinfo.cache"
export XDG_DATA_DIRS=$prefix/share:/usr/share
mkdir -p "$work/files"
printf '[[[>a\r\nACGT\r\n>b\r\nACGA]]]\r\n0.75\r\n' >"$work/files/analysis.kvr"
cp "$work/files/analysis.kvr" "$work/files/analysis"
printf '[[[ not a session\n' >"$work/files/brackets"
printf '>a\nACGT\n' >"$work/files/seqs.fasta"
content_type() { gio info -a standard::content-type "$1" | sed -n 's/.*content-type: //p'; }
expect_equal "type of a .kvr file" "$(content_type "$work/files/analysis.kvr")" \
  application/x-kvr-session
expect_equal "type of a session without extension" "$(content_type "$work/files/analysis")" \
  application/x-kvr-session
expect_equal "type of a text starting with [[[" "$(content_type "$work/files/brackets")" text/plain
expect_equal "type of a .fasta file" "$(content_type "$work/files/seqs.fasta")" \
  chemical/seq-na-fasta

finish
