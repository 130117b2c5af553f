#!/usr/bin/env bash
# Builds the libFuzzer targets under fuzz/ (clang++, ASan and UBSan) and runs
# each for the given number of seconds (60 by default), as many at once as
# there are cores. Every kept regression input is replayed first. Exits
# non-zero on any crash, invariant violation, leak or time-out; what broke
# is left under build/fuzz/artifacts/<target>/.
#
#   bash scripts/fuzz.sh [seconds] [target...]
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
SECONDS_EACH=${1:-60}
shift || true
ALL_TARGETS=(tokenize parse_query segment extract_trade_terms normalize parse_rfq routed_parse)
TARGETS=("$@")
((${#TARGETS[@]})) || TARGETS=("${ALL_TARGETS[@]}")
VENV=${BIDSIFT_VENV:-.venv}
[ -d "$VENV/bin" ] && export PATH="$ROOT/$VENV/bin:$PATH"

# clang and its fuzzer and sanitizer runtimes come from Debian.
missing=()
command -v clang++ >/dev/null 2>&1 || missing+=(clang)
dpkg -s libclang-rt-14-dev >/dev/null 2>&1 || missing+=(libclang-rt-14-dev)
if ((${#missing[@]})); then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  echo "installing Debian packages: ${missing[*]}"
  $SUDO apt-get update -qq
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi

BUILD=build/fuzz
cmake -S fuzz -B "$BUILD" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DBIDSIFT_FUZZ_SANITIZER=fuzz >/dev/null
cmake --build "$BUILD"

run_target() {
  local t=$1 bin="$ROOT/$BUILD/${1}_fuzzer" work="$ROOT/$BUILD/run/$1"
  local art="$ROOT/$BUILD/artifacts/$1/" log="$ROOT/$BUILD/run/$1.log"
  mkdir -p "$work" "$art"
  : >"$log"
  local kept=()
  if [ -d "fuzz/regressions/$t" ]; then
    mapfile -t kept < <(find "fuzz/regressions/$t" -type f ! -name README.md | sort)
  fi
  if ((${#kept[@]})) && ! "$bin" -artifact_prefix="$art" "${kept[@]}" >>"$log" 2>&1; then
    echo "FAIL $t: a kept regression input fails again"
    return 1
  fi
  if ! "$bin" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
      -dict="$ROOT/fuzz/bidsift.dict" -artifact_prefix="$art" -print_final_stats=1 \
      "$work" "$ROOT/fuzz/corpus/$t" >>"$log" 2>&1; then
    echo "FAIL $t: see $log and $art"
    grep -E '^\*\*\*|^==[0-9]+==ERROR|^SUMMARY|^    #[0-9]+ ' "$log" | head -40 || true
    return 1
  fi
  local execs
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  echo "ok   $t: ${execs:-0} executions in ${SECONDS_EACH}s"
}

# A simple pool, at most one target per core; each run leaves its verdict
# in a status file.
JOBS=$(nproc)
for t in "${TARGETS[@]}"; do
  while (($(jobs -rp | wc -l) >= JOBS)); do wait -n || true; done
  mkdir -p "$BUILD/run"
  rm -f "$BUILD/run/$t.status"
  (
    status=0
    run_target "$t" || status=1
    echo "$status" >"$BUILD/run/$t.status"
  ) &
done
wait

failed=0
total=0
for t in "${TARGETS[@]}"; do
  [ "$(cat "$BUILD/run/$t.status" 2>/dev/null)" = 0 ] || failed=$((failed + 1))
  n=$(sed -n 's/^stat::number_of_executed_units: *//p' "$BUILD/run/$t.log" | tail -1)
  total=$((total + ${n:-0}))
done
echo "fuzz: $total executions over ${#TARGETS[@]} targets"
echo "fuzz: $((${#TARGETS[@]} - failed)) passed, $failed failed"
((failed == 0))
