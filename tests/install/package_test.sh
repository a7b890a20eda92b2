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
for package in libqt6widgets6 libqt6svg6 libemf1 fonts-liberation 'muscle | mafft | clustalw'; do
  grep -qxF "$package" <<<"$depends" || fail "Depends lacks $package: $(field Depends)"
done
grep -qi onnxruntime <<<"$depends" && fail "Depends names ONNX Runtime, which Debian 12 lacks"
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
  ./usr/share/man/man1/kvr-run.1.gz ./usr/share/doc/kvr/copyright
  ./usr/share/doc/kvr/changelog.Debian.gz ./usr/share/doc/kvr/README.Debian)
[ "$inference" = 1 ] && expected+=(./usr/bin/TOLVEN_Inference)
for file in "${expected[@]}"; do
  grep -qxF "$file" <<<"$files" || fail "the package lacks $file"
done
outside=$(grep -v -e '^\./$' -e '^\./usr/' <<<"$files")
[ -z "$outside" ] || fail "files outside /usr: $outside"
grep -q '^-rwxr-xr-x ./usr/share/kvr/RunNeighbor.sh$' "$work/contents" ||
  fail "RunNeighbor.sh is not executable in the package"
[ -z "$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -v -e '^\./$' -e '^\./control$' \
  -e '^\./md5sums$')" ] || fail "the package has maintainer scripts or conffiles"

# README.Debian names the folder that TOLVEN_Inference finds ONNX Runtime in.
dpkg-deb -x "$deb" "$work/extracted"
if [ "$inference" = 1 ]; then
  runpath=$(readelf -d "$work/extracted/usr/bin/TOLVEN_Inference" |
    sed -n 's/.*Library runpath: \[\(.*\)\]/\1/p')
  [ -n "$runpath" ] && grep -qF "$runpath" "$work/extracted/usr/share/doc/kvr/README.Debian" ||
    fail "README.Debian does not name the RUNPATH '$runpath' of TOLVEN_Inference"
fi

# Installed and removed with dpkg in a private root (the machine's own packages untouched).
root=$work/root admin=$work/admin
mkdir -p "$root" "$admin/updates" "$admin/info" "$admin/triggers"
touch "$admin/status" "$admin/available"
dpkg_private() {
  dpkg --admindir="$admin" --instdir="$root" --force-depends --force-not-root "$@" \
    >>"$work/dpkg.log" 2>&1
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
dpkg_private -r kvr || fail "dpkg -r: $(cat "$work/dpkg.log")"
left=$(cd "$root" && find . -mindepth 1)
[ -z "$left" ] || fail "removing the package left: $left"
status=$(dpkg-query --admindir="$admin" -W -f '${Status}' kvr 2>/dev/null)
[ -z "$status" ] || [ "$status" = "unknown ok not-installed" ] ||
  fail "after removal the package is '$status'"

finish
