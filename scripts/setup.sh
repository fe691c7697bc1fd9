# Shared by the commands in scripts/: installs what is missing and builds into build/.
# Sourced, not run. Set SANITIZE=ON (and another BUILD) before build() for ASan and UBSan.

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"
SANITIZE=OFF

# Build tools, Qt 5 with Serial Port, the Qt 5 Linguist tools (lupdate, lrelease and their CMake
# package) for the English texts, a CJK font for the Chinese texts, and the X11 libraries the Qt
# platform plugin needs when a display is present, and lrzsz, whose XMODEM and YMODEM receivers
# (rx, rb) are the other end of the file protocols' tests, and ser2net, which serves a pty over the
# network for the network ports' tests.
PACKAGES=(build-essential cmake pkg-config qtbase5-dev qtbase5-dev-tools libqt5serialport5-dev
          qttools5-dev qttools5-dev-tools fonts-wqy-microhei fontconfig libxkbcommon-x11-0 lrzsz
          ser2net)

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
        >/dev/null &&
        cmake --build "$BUILD" -j "$(nproc)"
}
