#!/usr/bin/env bash
# Shows which one-line faults the tests catch: applies each fault of a list in turn, rebuilds the
# 32-bit build, runs ctest and then the service test until one fails, puts the source back, and
# prints which test program caught it. Usage: fault-check.sh [LIST] (default tools/faults.txt), on
# a clean checkout: it rewrites the source while it runs.
set -uo pipefail
cd "$(dirname "$0")/.."
list=$(realpath "${1:-tools/faults.txt}")
preset=mingw-x86
build() { cmake --build --preset $preset -j"$(nproc)" >/dev/null 2>&1; }
trap 'tools/wine-stop.sh "$PWD/build/$preset/wineprefix"' EXIT  # the tests' Wine and display
cmake --preset $preset >/dev/null && build || { echo "fault check: the unchanged source does not build"; exit 1; }

# Replaces the one occurrence of FROM in the file by TO ("{NL}" a line end in either); fails
# unless there is exactly one.
apply() {
  FROM=$2 TO=$3 perl -0pi -e '
    my ($from, $to) = map { s/\{NL\}/\n/gr } ($ENV{FROM}, $ENV{TO});
    my $n = () = /\Q$from\E/g;
    exit 3 if $n != 1;
    s/\Q$from\E/$to/' "$1"
}

# The first test that fails, or nothing when every test passes.
first_failure() {
  local log
  log=$(ctest --preset $preset --stop-on-failure --timeout 600 </dev/null 2>&1)
  if grep -q "tests failed out of" <<<"$log" && ! grep -q " 0 tests failed out of" <<<"$log"; then
    sed -nE 's/^[[:space:]]*[0-9]+ - ([A-Za-z0-9_]+) \(.*/\1/p' <<<"$log" | head -1
    return
  fi
  bash tools/service-test.sh $preset </dev/null >/dev/null 2>&1 || echo service_e2e_tests
}

printf '%-32s %-8s %s\n' fault result "caught by"
caught=0 missed=0 total=0
while IFS=$'\t' read -r -u 3 name path from to; do
  [[ -z $name || $name == \#* ]] && continue
  total=$((total + 1))
  cp "$path" "$path.fault-check"
  if ! apply "$path" "$from" "$to"; then
    verdict=("not-applied" "(the text is not in $path exactly once)")
  elif ! build; then
    verdict=("no-build" "(the fault does not compile)")
  else
    test=$(first_failure)
    if [ -n "$test" ]; then verdict=(caught "$test"); caught=$((caught + 1)); else verdict=(MISSED "-"); missed=$((missed + 1)); fi
  fi
  mv "$path.fault-check" "$path" && touch "$path"
  printf '%-32s %-8s %s\n' "$name" "${verdict[0]}" "${verdict[1]}"
done 3<"$list"
build
echo "$caught of $total faults caught, $missed missed"
