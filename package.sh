#!/usr/bin/env bash
# Installs what is missing, makes a Release build in build-package/ and from it
# the Debian package build-package/package/orimax-raschet_<version>_<arch>.deb,
# then lets lintian judge it (an error fails the script).
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh

orx_install_packages package

# Debian's own compiler and linker hardening, all of it, as lintian expects of
# a program that reads files from elsewhere. Set at every run, so that the
# folder follows a change of the flags.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS)"
dir=build-package
orx_build "$dir" -DCMAKE_BUILD_TYPE=Release -DORX_BUILD_TESTS=OFF -DORX_PACKAGED_BUILD=ON \
    "-DCMAKE_CXX_FLAGS=$cxxflags" "-DCMAKE_EXE_LINKER_FLAGS=$ldflags"

rm -f "$dir"/package/orimax-raschet_*.deb
(cd "$dir" && cpack -G DEB)
deb=$(ls "$dir"/package/orimax-raschet_*.deb)
lintian --fail-on error --info "$deb"
echo "Package: $deb"
