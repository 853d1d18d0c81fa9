#!/bin/bash
# Installs the library and its development files into a temporary prefix, then builds a
# program against that prefix with nothing but what pkg-config reports (pkgconfig) or what
# find_package(VandirCNC) gives (cmake, the project in cmake/ beside this script), and runs
# it against a simulator.
#   run_consumer.sh pkgconfig|cmake BUILD_DIR CXX SIMULATOR SOURCE [EXTRA_COMPILER_FLAGS...]
set -euo pipefail
way=$1 build=$2 cxx=$3 simulator=$4 source=$(realpath "$5")
shift 5
extra=("$@")

work=$(mktemp -d)
sim_pid=
cleanup() {
  [[ -n $sim_pid ]] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "consumer test: $*" >&2; exit 1; }

prefix=$work/prefix
for component in library dev; do
  cmake --install "$build" --prefix "$prefix" --component "$component" >/dev/null
done
pc=$(find "$prefix" -name vandircnc.pc)
[[ -n $pc ]] || fail "no vandircnc.pc installed"
export PKG_CONFIG_PATH=${pc%/*}
flags=$(pkg-config --cflags --libs vandircnc)
libdir=$(pkg-config --variable=libdir vandircnc)
[[ -e $libdir/libVandirCNC.so.1 ]] || fail "no libVandirCNC.so.1 in $libdir"

# The headers must stand on their own: no Asio, nothing that was not installed. Asio is on
# this machine's include path, so an include of it would compile: look for it instead.
if grep -rnE '#include [<"]asio' "$prefix/include"; then fail "a public header includes Asio"; fi
headers=$(cd "$prefix/include" && find vandircnc -name '*.h')
[[ -n $headers ]] || fail "no headers under $prefix/include/vandircnc"
for header in $headers; do
  echo "#include <$header>" | "$cxx" -fsyntax-only -x c++ - "${extra[@]}" $flags ||
    fail "$header does not compile on its own"
done

# Only the library's own namespace is exported.
foreign=$(nm -DC --defined-only "$libdir/libVandirCNC.so.1" | awk '$2 != "A"' |
          grep -v ' vandir::\| typeinfo for vandir::\| typeinfo name for vandir::\| vtable for vandir::' || true)
[[ -z $foreign ]] || fail "exports outside vandir::: $(head -5 <<<"$foreign")"

case $way in
  pkgconfig)
    "$cxx" "$source" -o "$work/consumer" "${extra[@]}" $flags || fail "the consumer does not build"
    ;;
  cmake)
    cmake -S "$(dirname "$0")/cmake" -B "$work/cmake" -G Ninja -DCMAKE_CXX_COMPILER="$cxx" \
          -DCMAKE_CXX_FLAGS="${extra[*]}" -DCMAKE_PREFIX_PATH="$prefix" \
          -DCONSUMER_SOURCE="$source" >"$work/cmake.log" 2>&1 ||
      fail "find_package(VandirCNC) failed: $(cat "$work/cmake.log")"
    cmake --build "$work/cmake" >>"$work/cmake.log" 2>&1 ||
      fail "the consumer does not build: $(cat "$work/cmake.log")"
    cp "$work/cmake/consumer" "$work/consumer"
    ;;
  *) fail "unknown way $way" ;;
esac

address=127.$((RANDOM % 200 + 30)).$((RANDOM % 250 + 1)).$((RANDOM % 250 + 1))
mkdir "$work/root"
"$simulator" --bind "$address" --root "$work/root" </dev/null >"$work/sim.out" 2>"$work/sim.err" &
sim_pid=$!
for _ in $(seq 100); do
  grep -q '^ready' "$work/sim.out" && break
  sleep 0.1
done
grep -q '^ready' "$work/sim.out" || fail "the simulator did not start: $(cat "$work/sim.err")"

output=$(LD_LIBRARY_PATH=$libdir "$work/consumer" "$address") || fail "the consumer failed"
echo "$output"
# The simulator starts in AUTO.
grep -qx 'mode=1' <<<"$output" || fail "expected mode=1"
# ldd's whole output first: under pipefail, grep -q leaving early would fail the pipe.
loaded=$(LD_LIBRARY_PATH=$libdir ldd "$work/consumer")
grep -qF "$libdir/libVandirCNC.so.1" <<<"$loaded" ||
  fail "the consumer did not use the installed library: $loaded"
