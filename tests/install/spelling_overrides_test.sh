#!/usr/bin/env bash
# packaging/debian/spelling-overrides on made-up programs: an override for each kept word that a
# program holds, spelt as lintian reports it, and none for what lintian does not take for a word.
#
#   spelling_overrides_test.sh SOURCE_FOLDER
set -uo pipefail
source=$1
. "$(dirname "$0")/check.sh"

stage=$work/stage
mkdir -p "$stage/usr/bin" "$stage/usr/libexec/kvr"
# Texts as strings(1) finds them: NUL-separated, four characters or more.
printf 'Ploting the matrix\0colum\0ploting again\0NAM.\0LAOD\0(anothe)\0buil(s)\0connot, sorry\0' \
  >"$stage/usr/bin/kvr"
printf 'MINIMUN\0[nam]\0perfomed!\0' >"$stage/usr/bin/KVRv1"
printf 'nothing kept here\0' >"$stage/usr/libexec/kvr/TOLVEN_Inference"

"$source/packaging/debian/spelling-overrides" "$source/packaging/debian/kept-spellings" "$stage" \
  "$stage/usr/bin/kvr" "$stage/usr/bin/KVRv1" "$stage/usr/libexec/kvr/TOLVEN_Inference" \
  >"$work/overrides" || fail "spelling-overrides failed"
printf '%s\n' \
  "kvr: spelling-error-in-binary Ploting Plotting [usr/bin/kvr]" \
  "kvr: spelling-error-in-binary colum column [usr/bin/kvr]" \
  "kvr: spelling-error-in-binary anothe another [usr/bin/kvr]" \
  "kvr: spelling-error-in-binary connot cannot [usr/bin/kvr]" \
  "kvr: spelling-error-in-binary MINIMUN MINIMUM [usr/bin/KVRv1]" \
  "kvr: spelling-error-in-binary nam name [usr/bin/KVRv1]" \
  "kvr: spelling-error-in-binary perfomed performed [usr/bin/KVRv1]" >"$work/expected"
expect_same_file "overrides" "$work/overrides" "$work/expected"
diff "$work/expected" "$work/overrides" >&2

finish
