#!/usr/bin/env bash
# Builds the Debian package from a build folder that is already built (the
# test build, build/, by default: no second compile) and checks it: the
# files it must hold, lintian (an error fails), the AppStream metainfo, the
# desktop entry and the manual page as they are packaged. Debian 12, as root
# for the packages it installs. Usage: tools/check-package.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
out="$here/build-package"

# dpkg-shlibdeps (dpkg-dev) and file find the package's dependencies.
packages=(dpkg-dev file lintian appstream desktop-file-utils groff-base)
"$(dirname "$0")/install-packages.sh" "${packages[@]}"

# cpack packs what the folder holds: bring it up to date first (nothing to
# do after tools/run-tests.sh).
cmake --build "$build" -j"$(nproc)"
rm -rf "$out"
mkdir -p "$out"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out"
debs=("$out"/tarn_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "check-package: no single tarn_*.deb in $out" >&2; exit 1; }
deb=${debs[0]}
echo "== $deb"
dpkg-deb --info "$deb"

fail=0
contents=$(dpkg-deb --contents "$deb" | awk '{print $NF}')
for f in ./usr/bin/tarn ./usr/share/applications/tarn.desktop \
         ./usr/share/icons/hicolor/scalable/apps/tarn.svg \
         ./usr/share/mime/packages/tarn-project.xml ./usr/share/man/man1/tarn.1.gz \
         ./usr/share/doc/tarn/copyright ./usr/share/doc/tarn/changelog.gz; do
  grep -qxF -- "$f" <<<"$contents" || { echo "check-package: $f is missing from the package" >&2; fail=1; }
done
metainfo=$(grep -E '^\./usr/share/metainfo/[^/]+\.metainfo\.xml$' <<<"$contents" || true)
[ -n "$metainfo" ] || { echo "check-package: no metainfo in the package" >&2; fail=1; }
depends=$(dpkg-deb --field "$deb" Depends)
grep -q 'libqt6widgets6' <<<"$depends" || { echo "check-package: Depends lacks the Qt libraries: $depends" >&2; fail=1; }

unpacked="$out/unpacked"
dpkg-deb --extract "$deb" "$unpacked"

echo "== lintian"
lintian --fail-on error --display-info "$deb" || fail=1

echo "== appstreamcli validate --no-net"
appstreamcli validate --no-net "$unpacked/${metainfo#./}" || fail=1

echo "== desktop-file-validate"
# It exits 0 on warnings: any word from it fails the check.
report=$(desktop-file-validate "$unpacked/usr/share/applications/tarn.desktop" 2>&1) || fail=1
[ -z "$report" ] || { echo "$report"; fail=1; }

echo "== groff -man -ww -z"
report=$(zcat "$unpacked/usr/share/man/man1/tarn.1.gz" | groff -man -ww -z 2>&1) || fail=1
[ -z "$report" ] || { echo "$report"; fail=1; }

if [ "$fail" -ne 0 ]; then
  echo "check-package: FAILED" >&2
  exit 1
fi
echo "check-package: $deb passed"
