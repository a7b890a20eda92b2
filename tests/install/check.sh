# Shared by the install tests: a temporary folder removed at the end, and checks that report
# every failure and make the test fail at the end.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# expect_equal WHAT ACTUAL EXPECTED
expect_equal() {
  [ "$2" = "$3" ] || fail "$1: got '$2', expected '$3'"
}

# expect_same_file WHAT ACTUAL EXPECTED
expect_same_file() {
  cmp -s "$2" "$3" || fail "$1: $2 differs from $3"
}

finish() {
  if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
  fi
  echo "all checks passed"
}
