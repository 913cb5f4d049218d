#!/usr/bin/env bash
# Builds the platform-free program sources with their unit tests natively,
# with the host compiler and the address and undefined-behaviour sanitizers,
# and runs them: run-native.sh [BUILD_DIR] (default build). The same test
# files also run under Wine as part of the ordinary test run; here an
# out-of-range read fails at once. Such sources include no platform header,
# so they also suit a fuzzer.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out=$(realpath -m "${1:-$root/build}")/native
mkdir -p "$out"
cxx=${CXX:-g++}
flags=(-std=c++17 -g -O1 -Wall -Wextra -Werror -fsanitize=address,undefined -fno-sanitize-recover=all)
gtest=/usr/src/googletest/googletest

# GoogleTest itself, once.
if [ ! -f "$out/gtest.a" ]; then
  "$cxx" -std=c++17 -O1 -g -fsanitize=address,undefined -I"$gtest/include" -I"$gtest" \
    -c "$gtest/src/gtest-all.cc" -o "$out/gtest-all.o"
  "$cxx" -std=c++17 -O1 -g -fsanitize=address,undefined -I"$gtest/include" \
    -c "$gtest/src/gtest_main.cc" -o "$out/gtest_main.o"
  ar rcs "$out/gtest.a" "$out/gtest-all.o" "$out/gtest_main.o"
fi

# Each test with the sources it covers.
run() {
  local name=$1
  shift
  "$cxx" "${flags[@]}" -I"$root/src" -I"$gtest/include" "$@" "$out/gtest.a" -pthread -o "$out/$name"
  "$out/$name"
}

run PathEditTest "$root/tests/unit/PathEditTest.cpp" "$root/src/register/PathEdit.cpp"
