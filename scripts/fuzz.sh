#!/usr/bin/env bash
# Fuzzes each harness of tests/fuzz with libFuzzer for a while.
#
#   scripts/fuzz.sh [seconds per harness, default 180] [harness ...]
#
# Builds build-fuzz with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer; installs clang if it is missing), then runs each
# harness (default: all) for the given seconds, starting from its seed corpus
# tests/fuzz/corpus/<harness>. Inputs it finds worth keeping go to
# build-fuzz/corpus/<harness>; the checked-in seeds are never changed (copy a
# small, telling input there by hand to make it part of every test run).
# A failure leaves its input in build-fuzz/findings/<harness>/; reproduce it with
#   build-fuzz/tests/fuzz/<harness>_fuzz build-fuzz/findings/<harness>/<file>
# The script ends with a line per harness (executions, seconds, findings) and
# exits non-zero when any harness failed.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-180}
shift || true
harnesses=("$@")
[ ${#harnesses[@]} -gt 0 ] || harnesses=(number_text dms_text split_fields catalogue list_transform cli ntv2 nadcon)

if ! command -v clang++ >/dev/null || ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
  as_root=()
  [ "$(id -u)" -eq 0 ] || as_root=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${as_root[@]}" apt-get update -qq
  "${as_root[@]}" apt-get install -y -qq --no-install-recommends clang libclang-rt-dev
fi

sanitizers="-fsanitize=address,undefined -fno-sanitize-recover=all"
flags="$sanitizers -fsanitize=fuzzer-no-link -fno-omit-frame-pointer"
# The shared runtime, so that libOstrak32.so (linked with --no-undefined)
# finds the sanitizers' and the coverage symbols when it is linked.
runtime="$(clang -print-runtime-dir)"
link="$sanitizers -shared-libsan -Wl,-rpath,$runtime"
source scripts/compiler-launcher.sh
# Warnings are gcc's business (the test run); clang here only builds the harnesses.
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARNEL_BUILD_BENCH=OFF \
  -DVARNEL_LIBFUZZER=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  "-DCMAKE_C_FLAGS=$flags" "-DCMAKE_CXX_FLAGS=$flags" \
  "-DCMAKE_EXE_LINKER_FLAGS=$link" "-DCMAKE_SHARED_LINKER_FLAGS=$link" "${launcher[@]}" >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target "${harnesses[@]/%/_fuzz}"

# The runtime comes in as libOstrak32.so's dependency too, which its check of the load order dislikes.
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:verify_asan_link_order=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
# Absolute paths: the catalogue harness works in a folder of its own.
# The list harness writes files on every run: memory is faster than disk.
[ -d /dev/shm ] && export TMPDIR=/dev/shm

summary=()
failed=0
for h in "${harnesses[@]}"; do
  rm -rf "build-fuzz/findings/$h"
  mkdir -p "build-fuzz/corpus/$h" "build-fuzz/findings/$h"
  log="build-fuzz/findings/$h.log"
  status=0
  "build-fuzz/tests/fuzz/${h}_fuzz" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 -len_control=0 \
    -print_final_stats=1 -artifact_prefix="$PWD/build-fuzz/findings/$h/" \
    "$PWD/build-fuzz/corpus/$h" "$PWD/tests/fuzz/corpus/$h" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  findings=$(find "build-fuzz/findings/$h" -type f | wc -l)
  if [ "$status" -ne 0 ]; then
    failed=1
    tail -40 "$log"
  fi
  summary+=("$h: ${runs:-?} executions in ${seconds} s (${speed:-?}/s), exit $status, findings $findings")
done
printf '%s\n' "${summary[@]}"
exit "$failed"
