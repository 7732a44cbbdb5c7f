#!/usr/bin/env bash
# Installs the built program into a throwaway DESTDIR as a package would, and checks what a desktop needs:
# the program, the menu entry (valid for desktop-file-validate, named 펠로라푸드주문서, in Office), the icon it
# names and the README. With "deb" it builds the Debian package instead and checks its dependencies.
# Usage: check_install.sh BUILD_DIR files|deb
set -euo pipefail
build="$1"
what="$2"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

case "$what" in
files)
  DESTDIR="$tmp/root" cmake --install "$build" --prefix /usr >"$tmp/install.log" || { cat "$tmp/install.log"; exit 1; }
  root="$tmp/root/usr"
  [ -x "$root/bin/PeloraOrder" ] || fail "no program in bin/"
  # The HTTP module, which the program loads from <bindir>/../<libdir>/peloraorder/.
  find "$root/lib" -path '*/peloraorder/libpelora_http.so' | grep -q . || fail "no HTTP module in lib/.../peloraorder/"
  entry="$root/share/applications/peloraorder.desktop"
  [ -f "$entry" ] || fail "no menu entry in share/applications/"
  desktop-file-validate "$entry" || fail "desktop-file-validate refuses the menu entry"
  grep -qx 'Name=펠로라푸드주문서' "$entry" || fail "the entry's name"
  grep -qx 'Categories=Office;' "$entry" || fail "the entry's category"
  grep -qx 'Exec=PeloraOrder' "$entry" || fail "the entry's program"
  icon="$(sed -n 's/^Icon=//p' "$entry")"
  for size in 16 32 48 64 128 256; do
    png="$root/share/icons/hicolor/${size}x${size}/apps/$icon.png"
    [ -f "$png" ] || fail "no ${size}px icon named $icon"
    head -c 8 "$png" | od -An -tx1 | grep -q '89 50 4e 47' || fail "$png is no PNG"
  done
  [ -f "$root/share/doc/peloraorder/README.md" ] || fail "no README in share/doc/peloraorder/"
  # The demo's intro picture stays with the demo: an office puts its own there.
  [ ! -e "$root/share/peloraorder/Image" ] || fail "the demo's intro picture is installed"
  echo "installed files OK"
  ;;
deb)
  (cd "$tmp" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/out" >"$tmp/cpack.log" 2>&1) \
    || { cat "$tmp/cpack.log"; exit 1; }
  deb="$(ls "$tmp"/out/*.deb)"
  depends="$(dpkg-deb -f "$deb" Depends)"
  echo "Depends: $depends"
  # From dpkg-shlibdeps: the Qt and MariaDB libraries the program links.
  for lib in libqt6widgets6 libqt6core6 libmariadb3 libc6; do
    grep -q "$lib" <<<"$depends" || fail "$lib is missing from the dependencies"
  done
  for pkg in fonts-nanum fonts-nanum-coding qt6-translations-l10n; do
    grep -Eq "(^|, )$pkg(,|$| )" <<<"$depends" || fail "$pkg is missing from the dependencies"
  done
  contents="$(dpkg-deb -c "$deb")"
  for f in ./usr/bin/PeloraOrder ./usr/share/applications/peloraorder.desktop \
           ./usr/share/icons/hicolor/256x256/apps/peloraorder.png ./usr/share/doc/peloraorder/README.md; do
    grep -q " $f\$" <<<"$contents" || fail "$f is not in the package"
  done
  [ "$(dpkg-deb -f "$deb" Package)" = peloraorder ] || fail "package name"
  [ "$(dpkg-deb -f "$deb" Version)" = 1.1.18 ] || fail "package version $(dpkg-deb -f "$deb" Version), not the program's 1.1.18"
  ! grep -q "/share/peloraorder/Image" <<<"$contents" || fail "the demo's intro picture is in the package"
  grep -Eq " ./usr/lib/(.*/)?peloraorder/libpelora_http.so\$" <<<"$contents" || fail "the HTTP module is not in the package"
  echo "package $(basename "$deb") OK"
  ;;
*)
  fail "usage: check_install.sh BUILD_DIR files|deb"
  ;;
esac
