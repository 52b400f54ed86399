# Installs the Debian packages the project needs, only when some are missing.
# Sourced by run.sh, test.sh and package.sh:  orx_install_packages run|test|package
# Runs apt-get (through sudo when not root) only when dpkg-query finds a gap.

ORX_BUILD_PACKAGES="cmake make ninja-build g++ ccache qtbase5-dev qtbase5-dev-tools libqt5svg5-dev libxlsxwriter-dev pkg-config fonts-crosextra-carlito fonts-dejavu-core qttranslations5-l10n"
ORX_RUN_PACKAGES="xdg-utils"
# The validators check the installed desktop entry and description.
ORX_TEST_PACKAGES="poppler-utils unzip xvfb xauth desktop-file-utils appstream"
# CPack's Debian generator finds the libraries through dpkg-shlibdeps (which
# asks file what a binary is); lintian judges the package.
ORX_PACKAGE_PACKAGES="dpkg-dev file lintian"

orx_missing_packages() {
    local missing=""
    for p in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
            missing="$missing $p"
        fi
    done
    echo "$missing"
}

orx_install_packages() {
    local wanted="$ORX_BUILD_PACKAGES"
    case "$1" in
        run) wanted="$wanted $ORX_RUN_PACKAGES" ;;
        test) wanted="$wanted $ORX_TEST_PACKAGES" ;;
        sanitize) wanted="$wanted $ORX_TEST_PACKAGES" ;;
        package) wanted="$wanted $ORX_PACKAGE_PACKAGES" ;;
    esac
    if ! command -v dpkg-query >/dev/null 2>&1; then
        echo "dpkg-query not found: install these packages by hand: $wanted" >&2
        return 0
    fi
    local missing
    missing=$(orx_missing_packages $wanted)
    [ -z "$missing" ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing:$missing"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
}

# Configures and builds a build folder: orx_build DIR [cmake options...]
# It configures on every call, so that a folder made with other options takes
# the ones given now (CMake does nothing costly when they are unchanged); the
# generator is chosen when the folder is made.
orx_build() {
    local dir="$1"
    shift
    local generator=""
    if [ ! -f "$dir/CMakeCache.txt" ] && command -v ninja >/dev/null 2>&1; then
        generator="-G Ninja"
    fi
    cmake -S . -B "$dir" $generator "$@" >/dev/null || return 1
    cmake --build "$dir" --parallel "$(nproc 2>/dev/null || echo 2)"
}
