#!/usr/bin/env bash
# Installs what the project needs on Debian 12 (as root), builds it and then
# starts the program ("run"), runs every check ("test"), runs the fuzz targets
# for longer ("fuzz SECONDS") or makes the Debian packages
# varelio_<version>_amd64.deb and libstelcode-dev ("package").
#
# "test" runs, in order, and fails when any of them fails:
#   0. the format check (scripts/check-format.sh);
#   1. the release build and its whole test suite;
#   2. a Debug build with AddressSanitizer and UndefinedBehaviorSanitizer
#      (clang, in its own folder) and the whole test suite again;
#   3. every fuzz target of fuzz/ for FUZZ_SECONDS (60) seconds from its seeds.
# The builds of "test" treat every compiler warning as an error.
# Each stage's time is printed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

packages=(build-essential cmake pkg-config dpkg-dev fakeroot file
          qt6-base-dev qt6-qpa-plugins qt6-tools-dev qt6-tools-dev-tools
          libpugixml-dev libzip-dev libzxing-dev libzint-dev libbenchmark-dev zlib1g-dev qt6-svg-dev
          fonts-dejavu-core qt6-translations-l10n poppler-utils
          libpoppler-cpp-dev libpng-dev qt6-image-formats-plugins zxing-cpp-tools
          cups printer-driver-cups-pdf
          clang libclang-rt-14-dev llvm clang-format clang-tidy)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi

jobs=$(nproc)
build=${BUILD_DIR:-build}
sanitized=${SANITIZER_BUILD_DIR:-build-asan}

# Sanitizer settings for every sanitized program run here. Leak reports from
# system libraries are suppressed by the commented list in the file named.
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:abort_on_error=0:print_summary=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1:print_summary=1
export LSAN_OPTIONS=suppressions=$root/scripts/lsan-suppressions.txt:print_suppressions=0
export ASAN_SYMBOLIZER_PATH=${ASAN_SYMBOLIZER_PATH:-$(command -v llvm-symbolizer || true)}

# stage NAME COMMAND...: runs one stage, records its time and outcome.
stage_names=() stage_times=() stage_results=()
stage() {
  local name=$1 start rc=0
  shift
  echo "=== $name"
  start=$(date +%s)
  "$@" || rc=$?
  stage_names+=("$name")
  stage_times+=($(( $(date +%s) - start )))
  stage_results+=("$([ $rc -eq 0 ] && echo passed || echo "FAILED ($rc)")")
  return 0
}

summary() {
  local passed=0 failed=0 i
  echo
  echo "=== Stages"
  for i in "${!stage_names[@]}"; do
    printf '%-40s %5ss  %s\n' "${stage_names[$i]}" "${stage_times[$i]}" "${stage_results[$i]}"
    if [ "${stage_results[$i]}" = passed ]; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
  done
  [ -f "$sanitized/fuzz/speed.txt" ] && { echo "=== Fuzz targets (executions per second)"; cat "$sanitized/fuzz/speed.txt"; }
  echo "Stages: $passed passed, $failed failed"
  [ $failed -eq 0 ]
}

# The test command's builds treat warnings as errors; "run" and "package" keep
# what the build folder was configured with (so "package" after "test" rebuilds nothing).
werror=()

build_release() {
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${werror[@]}" && cmake --build "$build" -j"$jobs"
}

build_sanitized() {
  cmake -S . -B "$sanitized" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ -DVARELIO_FUZZ=ON \
    "${werror[@]}" && cmake --build "$sanitized" -j"$jobs"
}

run_suite() {
  (cd "$1" && ctest --output-on-failure -j"$jobs")
}

# fuzz_one NAME SECONDS SEEDS...: the target from its seeds, with new inputs
# kept in a corpus folder of the build; fails on a crash, a sanitizer report, a
# leak, an input slower than -timeout or memory beyond -rss_limit_mb.
fuzz_one() {
  local name=$1 seconds=$2 out="$root/$sanitized/fuzz/salida/$1"
  shift 2
  local dict=()
  [ -f "fuzz/dict/$name.dict" ] && dict=(-dict="fuzz/dict/$name.dict")
  mkdir -p "$out/corpus" || return
  "$sanitized/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$out/" "${dict[@]}" \
      "$out/corpus" "$@" > "$out/log.txt" 2>&1
}

# run_fuzzers SECONDS: every target, as many at once as there are cores.
run_fuzzers() {
  local seconds=$1 list="$sanitized/fuzz/objetivos.txt" failed=0 name seeds pids=() names=()
  [ -s "$list" ] || { echo "no fuzz targets listed in $list" >&2; return 1; }
  : > "$sanitized/fuzz/speed.txt"
  while IFS=$'\t' read -r name seeds; do
    [ -n "$name" ] || continue
    IFS='|' read -r -a seed_dirs <<< "$seeds"
    fuzz_one "$name" "$seconds" "${seed_dirs[@]}" &
    pids+=($!) names+=("$name")
    if [ ${#pids[@]} -ge "$jobs" ]; then
      wait_fuzzer "${pids[0]}" "${names[0]}" || failed=1
      pids=("${pids[@]:1}") names=("${names[@]:1}")
    fi
  done < "$list"
  for i in "${!pids[@]}"; do
    wait_fuzzer "${pids[$i]}" "${names[$i]}" || failed=1
  done
  return $failed
}

wait_fuzzer() {
  local rc=0 log="$sanitized/fuzz/salida/$2/log.txt" speed runs
  wait "$1" || rc=$?
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  printf '%-16s %6s exec/s  %9s runs  %s\n' "$2" "${speed:-?}" "${runs:-?}" \
         "$([ $rc -eq 0 ] && echo ok || echo "FAILED ($rc)")" | tee -a "$sanitized/fuzz/speed.txt"
  if [ $rc -ne 0 ]; then
    tail -n 60 "$log"
    echo "fuzz_$2 failed; reproducer and log in $(dirname "$log")/" >&2
  fi
  return $rc
}

case "${1:-run}" in
  run)
    build_release
    exec "$build/Varelio/Varelio" ;;
  test)
    werror=(-DVARELIO_WERROR=ON)
    stage "format check" bash scripts/check-format.sh
    stage "release build" build_release
    if [ "${stage_results[-1]}" = passed ]; then
      stage "release test suite" run_suite "$build"
    fi
    stage "sanitizer build (Debug, ASan+UBSan)" build_sanitized
    if [ "${stage_results[-1]}" = passed ]; then
      stage "sanitizer test suite" run_suite "$sanitized"
      stage "fuzz targets, ${FUZZ_SECONDS:-60} s each" run_fuzzers "${FUZZ_SECONDS:-60}"
    fi
    summary ;;
  fuzz)
    seconds=${2:-600}
    stage "sanitizer build (Debug, ASan+UBSan)" build_sanitized
    if [ "${stage_results[-1]}" = passed ]; then
      stage "fuzz targets, $seconds s each" run_fuzzers "$seconds"
    fi
    summary ;;
  package)
    build_release
    rm -f "$build"/*.deb
    cd "$build" && exec cpack -G DEB ;;
  *)  echo "usage: $0 run|test|fuzz [SECONDS]|package" >&2; exit 2 ;;
esac
