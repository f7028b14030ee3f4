#!/usr/bin/env bash
# libvextag as programs outside this tree meet it: installed alone into a prefix of its own, a C
# and a C++ program built with pkg-config against it and a Python program through ctypes each
# read a tag that `vextag set` wrote and save one back; the library exports only its own names;
# the tool and its manual page work from the prefix, and the player's manual page renders.
#
# usage: installed_library_test.sh BUILD_DIR [HOST_FLAGS]
#   HOST_FLAGS  extra compiler flags for the host programs (the sanitizers of an instrumented build)
set -euo pipefail

build=$1
host_flags=${2:-}
hosts=$(cd "$(dirname "$0")/hosts" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
expect() { # what expected actual
  [[ "$3" == "$2" ]] || fail "$1: expected [$2], got [$3]"
}

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" --component vextag >/dev/null
pc=$(find "$prefix" -name vextag.pc)
libdir=$(dirname "$(dirname "$pc")")
export PKG_CONFIG_PATH=${pc%/vextag.pc}
export LD_LIBRARY_PATH=$libdir
vextag=$prefix/bin/vextag

# A tag written by the tool, read by each host, which saves its own copy.
# The comment is 30 characters outside ASCII: 60 bytes of UTF-8, all a C field holds.
comment=$(printf 'é%.0s' {1..30})
head -c 1000 /dev/zero >"$work/song.mp3"
"$vextag" set "$work/song.mp3" --song "  Blue Train" --artist Coltrane --album "Blue Train" --year 1957 \
  --genre Jazz --comment "$comment"
tag="Blue Train|Coltrane|Blue Train|1957|Jazz|$comment"
shown() { # file song genre [comment]
  echo "{\"file\": \"$1\", \"song\": \"$2\", \"artist\": \"Coltrane\", \"album\": \"Blue Train\", \"year\": \"1957\", \"genre\": \"$3\", \"comment\": \"${4:-$comment}\"}"
}

# shellcheck disable=SC2046,SC2086  # pkg-config's flags are meant to split
cc -std=c11 -Wall -Wextra -Wpedantic -Werror $host_flags "$hosts/tag_host.c" $(pkg-config --cflags --libs vextag) \
  -o "$work/c_host"
cp "$work/song.mp3" "$work/c.mp3"
out=$("$work/c_host" "$work/song.mp3" "$work/c.mp3")
expect "C host" "$tag
1.0.8 85 255 '' ''
1 Written in C|0 |||||" "$out"
expect "C host's save" "$(shown "$work/c.mp3" "Written in C" Bebob "$(printf 'z%.0s' {1..30})")" \
  "$("$vextag" show "$work/c.mp3")"

# shellcheck disable=SC2046,SC2086
c++ -std=c++20 -Wall -Wextra -Wpedantic -Werror $host_flags "$hosts/tag_host.cpp" \
  $(pkg-config --cflags --libs vextag) -o "$work/cxx_host"
cp "$work/song.mp3" "$work/cxx.mp3"
expect "C++ host" "$tag" "$("$work/cxx_host" "$work/song.mp3" "$work/cxx.mp3")"
expect "C++ host's save" "$(shown "$work/cxx.mp3" "Written in C++" Jazz)" "$("$vextag" show "$work/cxx.mp3")"

library=$(readlink -f "$libdir/libvextag.so")
python_env=()
if [[ "$host_flags" == *-fsanitize=* ]]; then
  # An instrumented library needs the sanitizer runtimes loaded first in a program that is not.
  python_env=(LD_PRELOAD="$(cc -print-file-name=libasan.so) $(cc -print-file-name=libubsan.so)"
    ASAN_OPTIONS=detect_leaks=0)
fi
cp "$work/song.mp3" "$work/py.mp3"
out=$(env "${python_env[@]}" /usr/bin/python3 "$hosts/tag_host.py" "$library" "$work/song.mp3" "$work/py.mp3")
expect "Python host" "$tag
1.0.8" "$out"
expect "Python host's save" "$(shown "$work/py.mp3" "Written in Python" Jazz)" "$("$vextag" show "$work/py.mp3")"

# Only the library's own names: vextag::... (with type information, virtual tables and thunks)
# and the C functions vextag_*.
names=$(nm -DC --defined-only "$library" | cut -d' ' -f3-)
[[ -n "$names" ]] || fail "nm lists no names"
others=$(grep -v -e '^vextag_' -e '^vextag::' -e '^\(typeinfo\|typeinfo name\|vtable\) for vextag::' \
  -e '^non-virtual thunk to vextag::' <<<"$names" || true)
[[ -z "$others" ]] || fail "exported names that are not the library's own:
$others"

expect "vextag --version" "vextag 1.0.8" "$("$vextag" --version)"
"$vextag" --help | grep -q '^usage: vextag show' || fail "vextag --help prints no usage"
for file in "$prefix/share/man/man1/vextag.1" "$build/data/velorra.1"; do
  warnings=$(MANWIDTH=80 man --warnings -l "$file" 2>&1 >/dev/null)
  [[ -z "$warnings" ]] || fail "$file: $warnings"
  MANWIDTH=80 man -l "$file" | grep -q "^NAME" || fail "$file does not render"
done
echo "installed library, hosts, exports, tool and manual pages: ok"
