# Debian packages the project builds, tests and runs with; sourced by the scripts.
# --no-install-recommends keeps other fonts off the machine: with them "Sans" can
# resolve to something other than DejaVu and text metrics change.
MV_PACKAGES="build-essential cmake pkg-config ccache clang-format
  libcairo2-dev libpango1.0-dev fonts-dejavu-core libsdl2-dev libsqlite3-dev libstb-dev
  libgtest-dev libgmock-dev libbenchmark-dev"

mv_install_packages() {
    local missing=""
    for p in $MV_PACKAGES; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
    done
    [ -z "$missing" ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing:$missing"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends $missing
}
# Xvfb smoke test of the SDL host: a virtual X server and real input through it.
MV_PACKAGES="$MV_PACKAGES xvfb xauth xdotool"
