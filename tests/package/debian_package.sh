#!/usr/bin/env bash
# Builds the Debian package from BUILD with cpack and checks it: the files a
# host's developer needs are in it, its declared dependencies name the
# libraries it links and what it loads at run time, and, unpacked into a
# folder of its own, its `tovrek` finds its module and runs `info` and `demo`
# on a private X server.
# Usage: debian_package.sh BUILD PNG_PIXEL
set -euo pipefail
build=$1 png_pixel=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset TOVREK_MODULE LD_LIBRARY_PATH

(cd "$build" && cpack -G DEB -B "$work/out" >/dev/null 2>"$work/cpack.log") || { cat "$work/cpack.log" >&2; exit 1; }
deb=$(find "$work/out" -maxdepth 1 -name 'tovrek_*.deb')
[ -n "$deb" ] || { echo "cpack made no .deb" >&2; exit 1; }

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for file in ./usr/bin/tovrek ./usr/lib/tovrek/tovrek.hdi ./usr/lib/libvudoz.so.1 ./usr/lib/libwinx.so.1 \
            ./usr/include/vudoz/host/loader.h ./usr/include/vudoz/platform/winx.h \
            ./usr/lib/cmake/Vudoz/VudozConfig.cmake ./usr/lib/pkgconfig/vudoz.pc \
            ./usr/share/man/man1/tovrek.1.gz ./usr/share/doc/tovrek/host-guide.md; do
  grep -qxF "$file" <<<"$contents" || { echo "$deb lacks $file" >&2; exit 1; }
done

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
# One package name a line, versions left out.
names=$(tr ',|' '\n\n' <<<"$depends" | sed 's/^ *//; s/ .*//')
for package in libc6 libstdc++6 libx11-6 libpng16-16 zlib1g libgl1-mesa-dri xvfb; do
  grep -qxF "$package" <<<"$names" || { echo "Depends lacks $package" >&2; exit 1; }
done
grep -qxE "libglx0|libgl1" <<<"$names" || { echo "Depends lacks the OpenGL library" >&2; exit 1; }

dpkg-deb -x "$deb" "$work/root"
info=$(env -u DISPLAY "$work/root/usr/bin/tovrek" info)
grep -qxF "module: $work/root/usr/lib/tovrek/tovrek.hdi" <<<"$info" &&
  grep -q "^renderer object: " <<<"$info" || { echo "tovrek info from the package: $info" >&2; exit 1; }
env -u DISPLAY "$work/root/usr/bin/tovrek" demo -o "$work/demo.png" >/dev/null
"$png_pixel" "$work/demo.png" 0 0 >/dev/null
echo "the package's tovrek ran info and demo"
