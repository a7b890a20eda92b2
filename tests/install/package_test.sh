#!/usr/bin/env bash
# scripts/package on the build, then the package as dpkg sees it: name, version, dependencies
# by package name, its files (all under /usr), the ONNX Runtime note; installed into a private
# dpkg root, kvr runs from /usr with its files in /usr/share/kvr, and removing the package
# leaves nothing behind.
#
#   package_test.sh BUILD_FOLDER SOURCE_FOLDER VERSION INFERENCE_BUILT(0|1)
set -uo pipefail
build=$1 source=$2 version=$3 inference=$4
. "$(dirname "$0")/check.sh"

deb=$("$source/scripts/package" --no-build "$build" "$work" 2>"$work/package.log" | tail -n 1)
arch=$(dpkg --print-architecture)
expect_equal "package file" "$deb" "$work/kvr_${version}_${arch}.deb"
if [ ! -f "$deb" ]; then
  cat "$work/package.log" >&2
  echo "FAIL: scripts/package made no package" >&2
  exit 1
fi

field() { dpkg-deb -f "$deb" "$1"; }
expect_equal "Package" "$(field Package)" kvr
expect_equal "Version" "$(field Version)" "$version"
expect_equal "Architecture" "$(field Architecture)" "$arch"
# Dependencies: the comma-separated names, without versions.
names() { tr ',' '\n' | sed -e 's/([^)]*)//g' -e 's/^ *//' -e 's/ *$//'; }
depends=$(field Depends | names)
for package in libqt6widgets6 libqt6svg6 libemf1 fonts-liberation; do
  grep -qxF "$package" <<<"$depends" || fail "Depends lacks $package: $(field Depends)"
done
grep -qi onnxruntime <<<"$depends" && fail "Depends names ONNX Runtime, which Debian 12 lacks"
# The built-in aligner needs no other program: the external ones are only recommended.
grep -qE '(^| )(muscle|mafft|clustalw|phylip)( |$)' <<<"$depends" &&
  fail "Depends names an external aligner: $(field Depends)"
maintainer=$(field Maintainer)
expect_equal "Maintainer" "$maintainer" \
  "$(sed -n 's/^KVR_MAINTAINER:STRING=//p' "$build/CMakeCache.txt")"
[[ "$maintainer" == *@localhost* || "$maintainer" != *@*.* ]] &&
  fail "the maintainer is no real address: $maintainer"
recommends=$(field Recommends | names)
for package in muscle clustalw mafft phylip; do
  grep -qxF "$package" <<<"$recommends" || fail "Recommends lacks $package: $(field Recommends)"
done
description=$(field Description)
[ "$inference" = 1 ] && ! grep -q 'LD_LIBRARY_PATH' <<<"$description" &&
  fail "the description does not say how TOLVEN_Inference finds ONNX Runtime"

# Files: the programs, their shared files, the desktop files and the documents, all in /usr.
dpkg-deb -c "$deb" | awk '{ print $1, $6 }' >"$work/contents"
files=$(awk '{ print $2 }' "$work/contents")
expected=(./usr/bin/KVRv1 ./usr/bin/kvr ./usr/share/kvr/RunNeighbor.sh
  ./usr/share/kvr/aligners.conf ./usr/share/applications/org.kvr.KVRv1.desktop
  ./usr/share/icons/hicolor/scalable/apps/org.kvr.KVRv1.svg ./usr/share/mime/packages/kvr.xml
  ./usr/share/metainfo/org.kvr.KVRv1.metainfo.xml ./usr/share/man/man1/kvr.1.gz
  ./usr/share/man/man1/kvr-run.1.gz ./usr/share/man/man1/KVRv1.1.gz
  ./usr/share/doc/kvr/copyright ./usr/share/doc/kvr/changelog.gz
  ./usr/share/doc/kvr/README.Debian ./usr/share/doc/kvr/identity.md
  ./usr/share/lintian/overrides/kvr ./usr/lib/python3/dist-packages/kvr/__init__.py)
[ "$inference" = 1 ] && expected+=(./usr/bin/TOLVEN_Inference ./usr/libexec/kvr/TOLVEN_Inference
  ./usr/share/man/man1/TOLVEN_Inference.1.gz)
for file in "${expected[@]}"; do
  grep -qxF "$file" <<<"$files" || fail "the package lacks $file"
done
outside=$(grep -v -e '^\./$' -e '^\./usr/' <<<"$files")
[ -z "$outside" ] || fail "files outside /usr: $outside"
grep -q '^-rwxr-xr-x ./usr/share/kvr/RunNeighbor.sh$' "$work/contents" ||
  fail "RunNeighbor.sh is not executable in the package"
[ -z "$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -v -e '^\./$' -e '^\./control$' \
  -e '^\./md5sums$' -e '^\./postrm$')" ] || fail "the package has conffiles or other scripts"

# No program carries a library search path; the script that starts TOLVEN_Inference adds the
# folder the build found ONNX Runtime in, and README.Debian names it.
dpkg-deb -x "$deb" "$work/extracted"
for program in "$work/extracted"/usr/bin/* "$work/extracted"/usr/libexec/kvr/*; do
  readelf -d "$program" 2>/dev/null | grep -qE 'R(UN)?PATH' &&
    fail "${program#"$work/extracted"} carries a library search path"
done
if [ "$inference" = 1 ]; then
  built_dir=$(readelf -d "$build/bin/TOLVEN_Inference" |
    sed -n 's/.*Library \(run\|r\)path: \[\(.*\)\]/\2/p' | cut -d: -f1)
  grep -qF "$built_dir" "$work/extracted/usr/bin/TOLVEN_Inference" ||
    fail "the TOLVEN_Inference script does not add '$built_dir'"
  grep -qF "$built_dir" "$work/extracted/usr/share/doc/kvr/README.Debian" ||
    fail "README.Debian does not name '$built_dir'"
  expect_equal "TOLVEN_Inference --version through its script" \
    "$(sed "s#/usr/libexec/kvr#$work/extracted/usr/libexec/kvr#" "$work/extracted/usr/bin/TOLVEN_Inference" |
      sh -s -- --version)" "TOLVEN_Inference $version"
fi

# lintian, as pedantic as it gets, has nothing to say but what the overrides answer. The test
# build carries no hardening flags (scripts/package's own build does), so those tags are left out.
if command -v lintian >/dev/null; then
  lintian -EvIL +pedantic --suppress-tags \
    hardening-no-bindnow,hardening-no-fortify-functions,hardening-no-relro,hardening-no-pie \
    "$deb" >"$work/lintian.log" 2>&1
  grep -E '^[EWIPX]: ' "$work/lintian.log" >"$work/lintian.tags"
  [ -s "$work/lintian.tags" ] && fail "lintian: $(cat "$work/lintian.tags")"
fi

# Installed and removed with dpkg in a private root (the machine's own packages untouched).
root=$work/root admin=$work/admin
mkdir -p "$root" "$admin/updates" "$admin/info" "$admin/triggers"
touch "$admin/status" "$admin/available"
# The maintainer script runs outside a chroot, on $DPKG_ROOT (the private root).
dpkg_private() {
  dpkg --root="$root" --admindir="$admin" --force-depends --force-not-root \
    --force-script-chrootless "$@" >>"$work/dpkg.log" 2>&1
}
dpkg_private -i "$deb" || fail "dpkg -i: $(cat "$work/dpkg.log")"
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
unset KVR_CLUSTALW KVR_MAFFT KVR_NEIGHBOR
expect_equal "installed kvr --version" "$("$root/usr/bin/kvr" --version)" "kvr $version"
mkdir -p "$work/run"
(
  cd "$work/run" || exit 1
  KVR_MUSCLE='cp {in} {out}' "$root/usr/bin/kvr" run --quiet --tree \
    "$source/tests/data/kvr_run/families.fasta" >order 2>err || echo "kvr run: $(cat err)" >&2
)
expect_same_file "order from /usr/bin/kvr" "$work/run/order" \
  "$source/tests/data/kvr_run/families_tree_order.txt"
# The Python module from /usr/lib/python3/dist-packages finds kvr's files in /usr/share/kvr.
PYTHONDONTWRITEBYTECODE=1 PYTHONPATH=$root/usr/lib/python3/dist-packages "${KVR_PYTHON:-python3}" -c \
  'import sys, kvr; print(kvr.run(sys.argv[1], tree=True).order)' \
  "$source/tests/data/rrna5s_48.fasta" >"$work/python.out" 2>&1 ||
  fail "the packaged Python module: $(cat "$work/python.out")"
# What the shared-mime-info trigger makes of kvr.xml, which it does not remove for "chemical".
mkdir -p "$root/usr/share/mime/chemical"
echo '<mime-type type="chemical/seq-na-fasta"/>' >"$root/usr/share/mime/chemical/seq-na-fasta.xml"
dpkg_private -P kvr || fail "dpkg -P: $(cat "$work/dpkg.log")"
left=$(cd "$root" && find . -mindepth 1 -not -path './usr' -not -path './usr/share' \
  -not -path './usr/share/mime')
[ -z "$left" ] || fail "purging the package left: $left"
status=$(dpkg-query --admindir="$admin" -W -f '${Status}' kvr 2>/dev/null)
[ -z "$status" ] || [ "$status" = "unknown ok not-installed" ] ||
  fail "after removal the package is '$status'"

finish
