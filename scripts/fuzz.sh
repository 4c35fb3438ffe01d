#!/usr/bin/env bash
# `make fuzz`: builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer) in build-fuzz/ and runs every one of them on its corpus in
# fuzz/corpus/<target>/, one job per core, then merges what gave new coverage back into that
# corpus. Prints per target the runs, the new corpus entries and the findings; exits non-zero when
# any target crashed, leaked, hung or ran out of memory.
#
# An input that did is kept in the corpus as crash-<sha1>, leak-<sha1>, timeout-<sha1> or
# oom-<sha1> (libFuzzer's names); once understood, rename it after the fault, keeping the kind in
# front (oom-exif-walk-of-gigabytes), and commit it: the replay test of `make test` runs it from
# then on. An empty corpus is first filled from the target's seed maker.
#
# Settings (environment):
#   FUZZ_SECONDS  time per target (default 60)
#   FUZZ_RUNS     runs after which a target stops before its time is up (default: none); the
#                 jobs under way finish first, so a target makes somewhat more runs than this
#   FUZZ_JOBS     jobs per target, libFuzzer's -fork (default: the number of cores)
#   FUZZ_TIMEOUT  seconds after which one input counts as a hang (default 3: under the
#                 sanitizers a run takes two to three times as long as in the program, so this is
#                 about a second there)
#   FUZZ_TARGETS  the targets to run, separated by spaces (default: every fuzz_* built)
#   FUZZ_MINIMISE 1: afterwards merge each corpus anew into a small set of inputs that keeps its
#                 coverage (the kept reproducers stay)
#   FUZZ_BUILD    the build folder (default build-fuzz)
#   CXX           the clang to build with (default clang++)
set -euo pipefail

cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
jobs=${FUZZ_JOBS:-$(nproc)}
timeout=${FUZZ_TIMEOUT:-3}
build=${FUZZ_BUILD:-build-fuzz}
logs=$build/fuzz/logs
# A corpus keeps an input only for code that no other input reaches (edges, not how often they
# run): a small corpus to start from, which the jobs widen again within seconds.
merge=(-merge=1 -use_counters=0)

# Per target: the largest input, the memory limit of one job in MB and ASan's quarantine in MB
# (the quarantine counts against the limit). The EXIF reader keeps its own bounds (records, text)
# far below its limit; a picture may claim a surface of up to 1024 pixels per file byte.
limits() {
  case $1 in
    fuzz_exif | fuzz_exif_rewrite) echo "32768 256 16" ;;
    fuzz_picture) echo "65536 2048 64" ;;
    fuzz_settings_*) echo "1024 512 16" ;;
    fuzz_command_line) echo "4096 512 16" ;;
    *) echo "4096 2048 64" ;;
  esac
}

# Writes the seeds of target $1 into the folder $2 (nothing for a target without a seed maker).
seed() {
  case $1 in
    fuzz_exif | fuzz_exif_rewrite) python3 fuzz/make_exif_corpus.py "$2" ;;
    fuzz_picture) "$build/fuzz/make_picture_seeds" "$2" ;;
    fuzz_settings_*)
      python3 fuzz/make_settings_corpus.py "$2/all" >/dev/null
      mv "$2/all/corpus-${1#fuzz_settings_}"/* "$2"/
      rm -r "$2/all"
      echo "settings seeds in $2"
      ;;
  esac
}

# Whether the input $2 makes the fuzzer $1 fail again when run alone, as the one input of a
# corpus that is read and not fuzzed (so that libFuzzer's leak check runs on it); the folder $3
# takes what the run writes.
reproduces() {
  rm -rf "$3" && mkdir -p "$3/in" && cp "$2" "$3/in/"
  ! "$1" "${flags[@]}" -runs=0 -artifact_prefix="$3/" "$3/in" >>"$logs/$target.confirm.log" 2>&1
}

count() { find "$1" -maxdepth 1 -type f | wc -l; }

faults() {  # the kept reproducers of corpus $1 changed since the file $2, one a line
  find "$1" -maxdepth 1 -type f -newer "$2" \
    \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | sort
}

export CXX=${CXX:-clang++}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER="$CXX" \
  -DSNAPWICK_FUZZ=ON -DSNAPWICK_TESTS=OFF -DSNAPWICK_BENCH=OFF >/dev/null
cmake --build "$build" -j "$jobs"

if [ -n "${FUZZ_TARGETS:-}" ]; then
  targets=$FUZZ_TARGETS
else
  targets=$(find "$build/fuzz" -maxdepth 1 -type f -executable -name 'fuzz_*' -printf '%f\n' | sort)
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$logs"
summary=""
failed=0
for target in $targets; do
  exe=$build/fuzz/$target
  corpus=fuzz/corpus/$target
  read -r max_len rss quarantine < <(limits "$target")
  # No leak check at the end of a job: libFuzzer checks for leaks after each input that leaves
  # memory behind, and LeakSanitizer (of clang 14) can fail by itself at exit while Qt's pool
  # threads wind down.
  export ASAN_OPTIONS="quarantine_size_mb=$quarantine:leak_check_at_exit=0"
  export UBSAN_OPTIONS="print_stacktrace=1"
  flags=(-max_len="$max_len" -rss_limit_mb="$rss" -timeout="$timeout"
         -artifact_prefix="$corpus/")
  mkdir -p "$corpus" "$work/$target.new" "$work/$target.seeds"
  touch "$work/$target.start"
  echo "== $target: $seconds s, $jobs jobs, inputs up to $max_len bytes, $rss MB (logs in $logs/)"

  if [ -z "$(ls -A "$corpus")" ]; then
    seed "$target" "$work/$target.seeds"
    "$exe" "${merge[@]}" "${flags[@]}" "$corpus" "$work/$target.seeds" \
      >"$logs/$target.seed.log" 2>&1 ||
      { echo "$target: seeding failed, see $logs/$target.seed.log"; exit 1; }
    echo "seeded with $(count "$corpus") inputs"
  fi
  before=$(count "$corpus")

  # New inputs go to the first folder; the corpus is only read until the merge below.
  status=0
  "$exe" -fork="$jobs" -max_total_time="$seconds" ${FUZZ_RUNS:+-runs="$FUZZ_RUNS"} \
    -ignore_crashes=0 -ignore_timeouts=0 -ignore_ooms=0 "${flags[@]}" \
    "$work/$target.new" "$corpus" >"$logs/$target.log" 2>&1 ||
    status=$?
  runs=$(grep -o '^#[0-9]*' "$logs/$target.log" | tail -n 1 | tr -d '#' || true)
  merge_status=0
  "$exe" "${merge[@]}" "${flags[@]}" "$corpus" "$work/$target.new" \
    >"$logs/$target.merge.log" 2>&1 || merge_status=$?
  added=$(sed -n 's/^MERGE-OUTER: \([0-9]*\) new files.*/\1/p' "$logs/$target.merge.log" |
    tail -n 1)

  # Findings: reproducers written in this run that fail again when run alone (others go to the
  # logs as not reproduced). One with the content of a reproducer kept before is that same fault
  # again: the copy goes, the kept one is named.
  findings=""
  unconfirmed=""
  : >"$logs/$target.confirm.log"
  for file in $(faults "$corpus" "$work/$target.start"); do
    if ! reproduces "$exe" "$file" "$work/$target.confirm"; then
      mkdir -p "$logs/unconfirmed"
      mv "$file" "$logs/unconfirmed/$target.${file##*/}"
      unconfirmed="$unconfirmed ${file##*/}"
      continue
    fi
    again=""
    for kept in "$corpus"/crash-* "$corpus"/leak-* "$corpus"/timeout-* "$corpus"/oom-*; do
      if [ -f "$kept" ] && [ "$kept" != "$file" ] && [ "$kept" -ot "$work/$target.start" ] &&
        cmp -s "$kept" "$file"; then
        again=$kept
      fi
    done
    if [ -n "$again" ]; then
      rm -f "$file"
      findings="$findings ${again##*/}(again)"
    else
      findings="$findings ${file##*/}"
    fi
  done
  if [ -n "$unconfirmed" ]; then
    echo "$target: not reproduced when run alone, moved to $logs/unconfirmed/:$unconfirmed"
  fi
  if [ -z "$findings" ] && [ -z "$unconfirmed" ] && [ "$status" -ne 0 ]; then
    findings=" fuzzer-exit-$status"
  fi
  if [ "$merge_status" -ne 0 ]; then
    findings="$findings merge-exit-$merge_status"
  fi

  if [ "${FUZZ_MINIMISE:-0}" = 1 ] && [ "$merge_status" -eq 0 ]; then
    mkdir -p "$work/$target.min" "$work/$target.all"
    find "$corpus" -maxdepth 1 -type f ! -name 'crash-*' ! -name 'leak-*' ! -name 'timeout-*' \
      ! -name 'oom-*' -exec mv -t "$work/$target.all" {} +
    if "$exe" "${merge[@]}" "${flags[@]}" "$work/$target.min" "$work/$target.all" \
      >"$logs/$target.min.log" 2>&1; then
      find "$work/$target.min" -type f -exec mv -t "$corpus" {} +
      echo "minimised to $(count "$corpus") inputs"
    else
      find "$work/$target.all" -type f -exec mv -t "$corpus" {} +
      echo "minimising failed: see $logs/$target.min.log"
    fi
  fi

  line=$(printf '%-24s %12s runs %6s new entries %6s inputs  ' "$target" "${runs:-0}" \
    "${added:-0}" "$(count "$corpus")")
  if [ -n "$findings" ]; then
    failed=1
    line="$line FAULT:$findings"
    echo "$target: see $logs/$target.log; the reproducers are in $corpus/"
  else
    line="$line no findings"
  fi
  echo "$line (had $before inputs)"
  summary="$summary$line"$'\n'
done

echo
echo "== make fuzz: $seconds s per target"
printf '%s' "$summary"
size=$(du -s --apparent-size --block-size=1 fuzz/corpus | cut -f1)
echo "corpora: $((size / 1024)) KB in $(find fuzz/corpus -type f | wc -l) files" \
  "($(du -sh fuzz/corpus | cut -f1) on disk)"
if [ "$size" -gt $((2 * 1024 * 1024)) ]; then
  echo "warning: the corpora hold more than 2 MB; minimise them (see README, Fuzzing)"
fi
exit $failed
