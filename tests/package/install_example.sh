#!/usr/bin/env bash
# Installs the project from BUILD into a temporary prefix, builds the example
# host against that prefix only (once through find_package, once with one
# pkg-config compiler command), runs both and checks two pixels of each
# picture: the orange triangle strip and the dark blue clear.
# Usage: install_example.sh BUILD SOURCE PNG_PIXEL
set -euo pipefail
build=$1 source=$2 png_pixel=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
unset TOVREK_MODULE LD_LIBRARY_PATH

cmake --install "$build" --prefix "$prefix" >/dev/null
pkgconfig_dir=$(dirname "$(find "$prefix" -name vudoz.pc)")

cmake -S "$source/examples/minimal_host" -B "$work/cmake" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF >/dev/null
cmake --build "$work/cmake" >/dev/null

export PKG_CONFIG_PATH=$pkgconfig_dir
c++ -std=c++17 "$source/examples/minimal_host/main.cpp" -o "$work/pkg-config-host" \
  -DVUDOZ_MODULE_PATH="\"$(pkg-config --variable=module vudoz)\"" $(pkg-config --cflags --libs vudoz libpng) \
  -Wl,-rpath,"$(pkg-config --variable=libdir vudoz)"

check_pixel() {  # PICTURE X Y EXPECTED
  local got
  got=$("$png_pixel" "$1" "$2" "$3")
  [ "$got" = "$4" ] || { echo "$1: expected $4 at ($2,$3), got $got" >&2; exit 1; }
}

for host in "$work/cmake/minimal_host" "$work/pkg-config-host"; do
  # The libraries must come from the prefix, not from the build tree.
  if ldd "$host" | grep -E 'lib(vudoz|winx)' | grep -v "$prefix" >&2; then
    echo "$host: links libraries from outside $prefix" >&2
    exit 1
  fi
  "$source/scripts/with-display" "$host" "$host.png"
  check_pixel "$host.png" 70 79 "#ffa000"
  check_pixel "$host.png" 190 144 "#000040"
done
echo "both example hosts built against $prefix and drew their picture"
