#!/usr/bin/env bash
# Package test (as root, on Debian 12): builds the Debian packages, checks them
# with lintian, desktop-file-validate and appstreamcli, installs varelio with
# apt-get, reads a barcode with /usr/bin/varelio-lector, starts
# /usr/bin/varelio as an ordinary user on the offscreen platform, writes an
# application through it into that user's ~/.local/share/Varelio and removes
# the package again.
# The program is driven by tests/package/conductor.cpp, loaded with LD_PRELOAD.
set -euo pipefail
cd "$(dirname "$0")/.."

export DEBIAN_FRONTEND=noninteractive
tools=(lintian desktop-file-utils appstream dpkg-dev fakeroot file)
missing=()
for p in "${tools[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi

build=${BUILD_DIR:-build}
bash scripts/setup.sh package
cmake --build "$build" --target varelio_conductor
deb=$(ls "$build"/varelio_*_amd64.deb)
dev=$(ls "$build"/libstelcode-dev_*_amd64.deb)
echo "+ package $deb"

step() { echo; echo "== $*"; }
fail() { echo "FAILED: $*" >&2; exit 1; }

step "lintian"
lintian --fail-on error --allow-root "$deb" "$dev"

step "desktop-file-validate and appstreamcli validate"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work"/root/usr/share/applications/*.desktop
appstreamcli validate --no-net "$work"/root/usr/share/metainfo/*.metainfo.xml

step "apt-get install"
apt-get install -y "./$deb"
[ -x /usr/bin/varelio ] || fail "/usr/bin/varelio missing"
/usr/bin/stelcode --help >/dev/null || fail "stelcode does not start"
[ -f /usr/share/man/man1/varelio-lector.1.gz ] || fail "no manual page for varelio-lector"

step "varelio-lector reads a symbol made by stelcode"
lote=$(mktemp -d)
/usr/bin/stelcode -m text -c 15 -w 3 -H 12 -o "$lote/solicitud.png" \
  'u|12345678Z|Mu&noz Pe&na|Jos&e|19700201|Espa&nola|983123456|C/ Mayor|Valladolid|Valladolid|47001|Medicina|3||||||||||11|E|S|N|N|M&aster|Le&on|07/12/06'
/usr/bin/varelio-lector --version | grep -q '^varelio-lector ' || fail "varelio-lector --version"
/usr/bin/varelio-lector -s ';' "$lote" > "$lote/salida.csv" || fail "varelio-lector did not read the symbol"
grep -q ';solicitud;;;;u;12345678Z;Muñoz Peña;José;' "$lote/salida.csv" || fail "varelio-lector: wrong fields"
rm -rf "$lote"

step "libstelcode-dev: find_package(Stelcode) from a program of its own"
apt-get install -y "./$dev"
mkdir -p "$work/consumidor"
cat > "$work/consumidor/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.25)
project(consumidor CXX)
set(CMAKE_CXX_STANDARD 20)
find_package(Stelcode 1 REQUIRED)
add_executable(consumidor main.cpp)
target_link_libraries(consumidor PRIVATE Stelcode::Stelcode)
CMAKE
cat > "$work/consumidor/main.cpp" <<'CPP'
#include <stelcode/Stelcodex.h>
#include <QApplication>
int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Stelcodex control;
    control.setPdfcode(QStringLiteral("Varelio"));
    return control.saveToBMP(QString::fromLocal8Bit(argv[1]));
}
CPP
cmake -S "$work/consumidor" -B "$work/consumidor/build" >/dev/null
cmake --build "$work/consumidor/build" >/dev/null
QT_QPA_PLATFORM=offscreen "$work/consumidor/build/consumidor" "$work/simbolo" || fail "saveToBMP through the installed library"
file "$work/simbolo.bmp" | grep -q "PC bitmap" || fail "no bitmap from the installed library"
plugin=/usr/lib/x86_64-linux-gnu/qt6/plugins/designer/libstelcodexplugin.so
[ -f "$plugin" ] || fail "no Designer plugin"
! ldd "$plugin" | grep -q "not found" || fail "the Designer plugin does not find its libraries"
apt-get purge -y libstelcode-dev

step "run as an ordinary user"
user=varelio-prueba
id "$user" >/dev/null 2>&1 || useradd --create-home --shell /bin/sh "$user"
home=$(getent passwd "$user" | cut -d: -f6)
rm -rf "$home/.local/share/Varelio"
# The driver must be readable by that user.
chmod 755 "$work"
cp "$build/tests/libvarelio_conductor.so" "$work/conductor.so"
chmod 644 "$work/conductor.so"
run_as() {
  local mode=$1
  timeout 120 runuser -u "$user" -- env -i HOME="$home" USER="$user" PATH=/usr/bin:/bin \
    LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen CONDUCTOR="$mode" LD_PRELOAD="$work/conductor.so" \
    /usr/bin/varelio 2>&1 | tee "$work/$mode.log"
  return "${PIPESTATUS[0]}"
}
run_as salir || fail "the program ended with an error after Salir"
grep -q 'ventana de entrada' "$work/salir.log" || fail "no sign-in window"
run_as solicitud || fail "the program ended with an error"
grep -q 'solicitud guardada' "$work/solicitud.log" || fail "the application was not saved"
grep -q 'fin del programa, 0 mensajes inesperados' "$work/solicitud.log" || fail "unexpected messages"

step "the user's data folder"
data="$home/.local/share/Varelio"
ls -la "$data" "$data/ficheros/temp"
[ "$(stat -c %a "$data")" = 700 ] || fail "$data is not 0700"
[ "$(stat -c %a "$data/ficheros/temp")" = 700 ] || fail "ficheros/temp is not 0700"
[ "$(stat -c %U "$data/usuarios.xml")" = "$user" ] || fail "usuarios.xml not owned by $user"
[ "$(stat -c %a "$data/usuarios.xml")" = 600 ] || fail "usuarios.xml is not 0600"
grep -q '<Usuario>' "$data/usuarios.xml" || fail "no user registered in usuarios.xml"
doc="$data/ficheros/temp/12345678Z.doc"
[ -s "$doc" ] || fail "no stored application $doc"
file "$doc" | grep -Eq 'Zip|Word|OOXML' || fail "the stored application is not a document"
[ -z "$(find /usr/lib/varelio -newer "$deb" -type f)" ] || fail "something was written below /usr/lib/varelio"

step "apt-get purge"
apt-get purge -y varelio
[ ! -e /usr/bin/varelio ] && [ ! -e /usr/bin/varelio-lector ] && [ ! -e /usr/lib/varelio ] || fail "files left after purge"
[ -z "$(dpkg -S /usr/lib/varelio 2>/dev/null || true)" ] || fail "dpkg still knows /usr/lib/varelio"
[ -s "$doc" ] || fail "purge removed the user's data"
userdel --remove "$user" 2>/dev/null || true
echo; echo "package test passed"
