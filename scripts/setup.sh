# Shared by the commands in scripts/: installs what is missing and builds into build/.
# Sourced, not run. Set SANITIZE=ON (and another BUILD) before build() for ASan and UBSan; call
# use_qt6 before install_missing and build() to build against Qt 6 instead of Qt 5.

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"
SANITIZE=OFF
QT=5

# Build tools, Qt 5 with Serial Port, the Qt 5 Linguist tools (lupdate, lrelease and their CMake
# package) for the English texts, a CJK font for the Chinese texts, and the X11 libraries the Qt
# platform plugin needs when a display is present, and lrzsz, whose XMODEM and YMODEM receivers
# (rx, rb) are the other end of the file protocols' tests, and ser2net, which serves a pty over the
# network for the network ports' tests.
QT5_PACKAGES=(qtbase5-dev qtbase5-dev-tools libqt5serialport5-dev qttools5-dev qttools5-dev-tools)
PACKAGES=(build-essential cmake pkg-config "${QT5_PACKAGES[@]}" fonts-wqy-microhei fontconfig
          libxkbcommon-x11-0 lrzsz ser2net)
# The same for Qt 6: its platform plugins (offscreen, xcb) are a package of their own, and its
# CMake package for Qt Gui wants the OpenGL headers.
QT6_PACKAGES=(qt6-base-dev qt6-serialport-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
              qt6-qpa-plugins libgl-dev)

# Qt 6 instead of Qt 5, into BUILD with "-qt6" appended (build-qt6/).
use_qt6() {
    QT=6
    BUILD="$BUILD-qt6"
    local kept=() p
    for p in "${PACKAGES[@]}"; do
        [[ " ${QT5_PACKAGES[*]} " == *" $p "* ]] || kept+=("$p")
    done
    PACKAGES=("${kept[@]}" "${QT6_PACKAGES[@]}")
}

install_missing() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if ! command -v apt-get >/dev/null; then
        echo "Missing packages (install them by hand): ${missing[*]}" >&2
        return 1
    fi
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq >/dev/null &&
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
            "${missing[@]}" >/dev/null
}

build() {
    cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSERMORA_SANITIZE="$SANITIZE" \
        -DSERMORA_QT="$QT" >/dev/null &&
        cmake --build "$BUILD" -j "$(nproc)"
}
