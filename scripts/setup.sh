#!/usr/bin/env bash
# Installs what the project needs on Debian 12 (as root), builds it and then
# either starts the program ("run"), runs the whole test suite ("test") or makes
# the Debian packages varelio_<version>_amd64.deb and libstelcode-dev ("package").
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake pkg-config dpkg-dev fakeroot file
          qt6-base-dev qt6-qpa-plugins qt6-tools-dev qt6-tools-dev-tools
          libpugixml-dev libzip-dev libzxing-dev libzint-dev libbenchmark-dev zlib1g-dev qt6-svg-dev
          fonts-dejavu-core qt6-translations-l10n poppler-utils
          cups printer-driver-cups-pdf)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi

build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j"$(nproc)"

case "${1:-run}" in
  run)  exec "$build/Varelio/Varelio" ;;
  test) cd "$build" && exec ctest --output-on-failure -j"$(nproc)" ;;
  package)
    rm -f "$build"/*.deb
    cd "$build" && exec cpack -G DEB ;;
  *)    echo "usage: $0 run|test|package" >&2; exit 2 ;;
esac
