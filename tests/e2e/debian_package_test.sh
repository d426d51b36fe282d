#!/usr/bin/env bash
# The .deb that cpack builds from BUILD_DIR: lintian finds no error and no
# warning; it holds the renamed programs, the module and its config file, both
# desktop files, a manual page for every program, the copyright file and the
# changelog; its programs are stripped and hardened.
# Usage: debian_package_test.sh BUILD_DIR
set -u
build=$1
. "$(dirname "$0")/check_lib.sh"

cd "$work" || exit 1
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >cpack.log 2>&1 || { cat cpack.log; exit 1; }
deb=$(ls out/*.deb)
[ "$(basename "$deb")" = vivuvev_2.0_amd64.deb ] || fail "package is named $(basename "$deb")"

lintian --allow-root --fail-on error,warning "$deb" >lintian.log 2>&1 || fail "lintian: $(cat lintian.log)"
grep -E '^[EW]: ' lintian.log && fail "lintian reports errors or warnings"

dpkg-deb -x "$deb" root
(cd root && find . -type f | sed 's|^\./|/|' | sort) >files
grep -v '^/usr/share/man/' files >other-files
cat >expected <<'LIST'
/usr/bin/vivuvev-render
/usr/bin/vivuvev-saver
/usr/bin/vivuvev-standalone
/usr/lib/vivuvev/plugins/vivuvev-video.so
/usr/libexec/xscreensaver/vivuvev
/usr/share/applications/screensavers/vivuvev.desktop
/usr/share/applications/vivuvev.desktop
/usr/share/doc/vivuvev/changelog.gz
/usr/share/doc/vivuvev/copyright
/usr/share/xscreensaver/config/vivuvev.xml
LIST
diff expected other-files >/dev/null || fail "files besides the manual pages differ: $(diff expected other-files | tr '\n' ' ')"

# One section 6 page for every program on the PATH; the module may have its
# own; no other page.
for program in root/usr/bin/*; do
  grep -qx "/usr/share/man/man6/$(basename "$program").6.gz" files || fail "no manual page for $(basename "$program")"
done
grep '^/usr/share/man/' files | while read -r page; do
  name=$(basename "$page" .6.gz)
  [ "$(dirname "$page")" = /usr/share/man/man6 ] || echo "FAIL: $page is not a section 6 page"
  [ -e "root/usr/bin/$name" ] || [ -e "root/usr/libexec/xscreensaver/$name" ] || echo "FAIL: $page belongs to no program"
done | grep FAIL && fail "manual pages do not match the programs"

control() { dpkg-deb -f "$deb" "$1"; }
control Maintainer | grep -Eq '^[^<]+ <[^@]+@[^@>]+\.[^@>]+>$' || fail "maintainer is not 'Name <address>' on a real domain: $(control Maintainer)"
control Maintainer | grep -q localhost && fail "maintainer is on localhost"
[ "$(control Suggests)" = xscreensaver ] || fail "Suggests is '$(control Suggests)'"
# Only the video writer's plugin needs FFmpeg's libraries: they are
# recommended, never a dependency, and the programs link none of them.
ffmpeg='lib(avcodec|avformat|avutil|swscale)[0-9]'
control Depends | grep -Eq 'libc6' || fail "Depends lacks the C library: $(control Depends)"
control Depends | grep -Eq "$ffmpeg" && fail "FFmpeg's libraries are dependencies: $(control Depends)"
for library in avcodec avformat avutil swscale; do
  control Recommends | grep -Eq "(^|, )lib$library[0-9]+ " || fail "lib$library is not recommended: $(control Recommends)"
done
[ "$(control Description | wc -l)" -ge 3 ] || fail "no extended description"

grep -qx 'Exec=vivuvev-standalone' root/usr/share/applications/vivuvev.desktop || fail "the desktop entry does not run vivuvev-standalone"
saver_entry=root/usr/share/applications/screensavers/vivuvev.desktop
grep -qx 'Exec=/usr/libexec/xscreensaver/vivuvev -root' "$saver_entry" || fail "the screensaver entry does not run the module on the root window"
grep -qx 'TryExec=/usr/libexec/xscreensaver/vivuvev' "$saver_entry" || fail "the screensaver entry lacks TryExec"
grep -qx 'Categories=Screensaver;' "$saver_entry" || fail "the screensaver entry is not in the Screensaver category"

copyright=root/usr/share/doc/vivuvev/copyright
head -1 "$copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "copyright file is not in the machine-readable format"
grep -qx 'Copyright: 2026 The Vivuvev developers' "$copyright" || fail "copyright line missing"
[ "$(grep -c '^License: Expat$' "$copyright")" -eq 2 ] || fail "the Expat licence is not named and given"
grep -q '^ THE SOFTWARE IS PROVIDED "AS IS", WITHOUT WARRANTY OF ANY KIND' "$copyright" || fail "licence text incomplete"
zcat root/usr/share/doc/vivuvev/changelog.gz | head -1 | grep -q '^vivuvev (2.0) ' || fail "changelog does not start at 2.0"

plugin=root/usr/lib/vivuvev/plugins/vivuvev-video.so
for program in root/usr/bin/* root/usr/libexec/xscreensaver/vivuvev; do
  readelf -d "$program" | grep -E "NEEDED.*lib(avcodec|avformat|avutil|swscale)" &&
    fail "${program#root} links FFmpeg's libraries"
done
readelf -d "$plugin" | grep -q 'NEEDED.*libavcodec' || fail "the plugin does not link FFmpeg"
file "$plugin" | grep -q 'shared object.*, stripped' || fail "the video writer is not a stripped shared object: $(file -b "$plugin")"
for program in root/usr/bin/* root/usr/libexec/xscreensaver/vivuvev "$plugin"; do
  name=${program#root}
  [ "$program" = "$plugin" ] || file "$program" | grep -q 'pie executable.*, stripped' ||
    fail "$name is not a stripped PIE: $(file -b "$program")"
  readelf -d "$program" | grep -q 'BIND_NOW' || fail "$name is not bound at start-up (-z now)"
  readelf -lW "$program" | grep -q 'GNU_RELRO' || fail "$name has no read-only relocations (-z relro)"
  readelf --dyn-syms -W "$program" >symbols
  grep -q '__stack_chk_fail' symbols || fail "$name has no stack protector"
  # The video writer copies only into buffers whose size the compiler cannot
  # see, so no call of it can be fortified.
  [ "$program" = "$plugin" ] || grep -Eq ' __[a-z]+_chk(@|$)' symbols || fail "$name calls no fortified function"
done

report
