#!/usr/bin/env bash
# What the Orca screen reader says while a candidate signs in, fills in a few
# fields and saves, written to docs/orca-formulario.txt. A check by ear made
# headless: a virtual X server, a small window manager, the accessibility bus,
# Orca with its debug log, and the program (build/Varelio) driven by xdotool.
# Needs a built program; installs its own tools when missing (as root).
# Orca answers key events slowly without a speech server, so each step waits;
# even so a key is now and then lost or late and the scene goes another way:
# read the result before keeping it.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
tools=(orca xvfb xdotool matchbox-window-manager dbus-x11 at-spi2-core)
missing=()
for p in "${tools[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi
[ -x "$root/build/Varelio/Varelio" ] || { echo "build the program first (build/Varelio)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$root/build/Varelio" "$work/programa" # a user file and applications of its own
cat > "$work/escena.sh" <<'ESCENA'
#!/usr/bin/env bash
set -u
w=$1
export DISPLAY=:97 XDG_RUNTIME_DIR=$w/run HOME=$w/home QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
mkdir -p "$XDG_RUNTIME_DIR" "$HOME" && chmod 700 "$XDG_RUNTIME_DIR"
Xvfb :97 -screen 0 1366x768x24 >/dev/null 2>&1 & x=$!
sleep 1
matchbox-window-manager -use_titlebar no >/dev/null 2>&1 & wm=$!
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 & bus=$!
sleep 1
/usr/libexec/at-spi2-registryd >/dev/null 2>&1 & reg=$!
sleep 1
orca --debug-file="$w/orca.debug" -u "$w/prefs" >/dev/null 2>&1 & o=$!
sleep 4
QT_QPA_PLATFORM=xcb "$w/programa/Varelio" >/dev/null 2>&1 & v=$!
sleep 4
k() { xdotool "$@"; sleep 4; }
k type --delay 150 "11111111H"      # an unregistered DNI: no password asked
k key Return
sleep 6
k key Return                        # "Continuar" in the information window
sleep 25
k type --delay 200 "Ruiz"
k key Tab
k type --delay 200 "Ana"
k key Tab
k type --delay 200 "1/2/70"
k key Tab
k key Tab
k key Tab
k key Tab
k key Tab
k key alt+3                         # the areas
k type "1"
k key alt+e                         # the city
k type --delay 200 "Leon"
k key Tab
k key ctrl+g                        # save: the new DNI chooses a password first
sleep 4
k type --delay 150 "secreto"
k key Tab
k type --delay 150 "secreto"
k key Return
sleep 10
kill $v $o $reg $bus $wm; sleep 1; kill $x
ESCENA
chmod +x "$work/escena.sh"
timeout 400 dbus-run-session -- "$work/escena.sh" "$work" >/dev/null 2>&1 || true
{
  echo "# What Orca 43 says (speech output of its debug log), made by scripts/orca-lectura.sh."
  echo "# Key echo lines (the keys typed) are left out."
  grep -a "SPEECH OUTPUT:" "$work/orca.debug" | sed -e "s/^.*SPEECH OUTPUT: //" -e "s/ *{'established'.*$//" \
    -e "s/\[{'established'.*$//" | grep -v -E "^'([[:alnum:]/]|left [a-z]+|tab|return|slash) ?'$" \
    | sed -e "s#$work/programa#<programa>#g"
} > "$root/docs/orca-formulario.txt"
cat "$root/docs/orca-formulario.txt"
