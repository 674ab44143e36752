#!/usr/bin/env bash
# Builds the packages of both presets and proves them under Wine, in a fresh prefix of their
# own: the 32-bit installer installs, adds the stand-in server, serves, upgrades over an edited
# settings file, refuses a downgrade and uninstalls; the 64-bit one installs and uninstalls;
# the ZIP unpacks and its program starts.
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C
for preset in mingw-x86 mingw-x64; do
  cmake --preset $preset >/dev/null && cmake --build --preset $preset -j2 --target packages >/dev/null
done
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/mingw-x86/CMakeCache.txt)
next=${version%.*}.$((${version##*.} + 1))
out=$PWD/build/package-test
msi=build/mingw-x86/packages/VQBroker-$version-x86.msi msi64=build/mingw-x64/packages/VQBroker-$version-x64.msi
zip=build/mingw-x86/packages/VQBroker-$version-win-x86.zip
packaging/make-msi.sh build/mingw-x86/packaging/stage x86 "$next" "$out/VQBroker-$next-x86.msi"

export WINEPREFIX=$out/prefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
stop_wine() {
  wineserver -k 2>/dev/null || true
  [ ! -f "$WINEPREFIX.display" ] || { read -r _ pid <"$WINEPREFIX.display"; kill "$pid" 2>/dev/null || true; }
}
stop_wine
rm -rf "$WINEPREFIX" "$WINEPREFIX.display"
trap stop_wine EXIT
env -u DISPLAY tools/wine-run.sh "$WINEPREFIX" cmd /c exit   # creates the prefix and its display
read -r number _ <"$WINEPREFIX.display"
export DISPLAY=:$number
# Plain wine from here on: wineboot would also start what the Startup folder holds.

c=$WINEPREFIX/drive_c app="$WINEPREFIX/drive_c/Program Files (x86)/VQBroker" work=$WINEPREFIX/drive_c/work
clsid='HKLM\Software\Classes\CLSID\{8C18CF0B-77A3-4259-9E00-A351B270204C}\InprocServer32'
fail() { echo "package test: $*"; exit 1; }
# Shortcuts of VQBroker under Start Menu\Programs; Wine puts per-machine ones in the user's.
links() { (cd "$c" && find users ProgramData -name '*.lnk' -path '*Start Menu/Programs/*' | grep VQBroker | sed 's|.*/Programs/||' | sort | paste -sd'|'); }
reg_value() { wine reg query "$1" /reg:"$2" ${3:+/v "$3"} 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_[A-Z_]* *//p' | head -1; }
products() { for view in 32 64; do wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s /reg:$view; done | grep -c 'DisplayName.*VQBroker'; }
left() { for name in "$@"; do [ ! -e "$work/$name" ] || return 0; done; return 1; }
# Starts DIR\VQBroker.exe on C:\work, drops the requests, waits until they are gone, closes the
# window and expects exit code 0.
serve() {
  local dir=$1; shift
  mkdir -p "$work" && printf '[Generale]\r\nDirectorLucru=C:\\work\r\nFirmaLucru=DEMO\r\nIDArticol=CODINTERN\r\nIDPartener=CODINTERN\r\n' >"$dir/VQBroker.Ini"
  timeout 60 wine "$dir/VQBroker.exe" & local pid=$!
  for name in "$@"; do cp "examples/$name" "$work/"; done
  for _ in $(seq 150); do left "$@" || break; sleep 0.2; done
  wine taskkill /im VQBroker.exe >/dev/null || true
  wait $pid || fail "$dir/VQBroker.exe ended with $?"
  ! left "$@" || fail "$dir/VQBroker.exe left requests unserved: $(cd "$work" && ls)"
}

wine msiexec /i "$msi" /qn || fail "install: $?"
[ -f "$app/VQBroker.exe" ] && [ -f "$app/VQBroker.Ini" ] && [ -f "$app/README.txt" ] && [ ! -e "$app/VQDocServer.dll" ] || fail "installed files: $(ls "$app")"
[ "$(links)" = "StartUp/VQBroker.lnk|VQBroker/VQBroker settings.lnk|VQBroker/VQBroker.lnk" ] || fail "shortcuts: $(links)"
[ "$(reg_value 'HKLM\Software\VQBroker' 32 InstallDir)" = 'C:\Program Files (x86)\VQBroker\' ] || fail "no InstallDir"
[ -z "$(reg_value "$clsid" 32)" ] || fail "the stand-in server is registered by default"

wine msiexec /i "$msi" ADDLOCAL=DocServer /qn || fail "adding the stand-in server: $?"
[ "$(reg_value "$clsid" 32)" = 'C:\Program Files (x86)\VQBroker\VQDocServer.dll' ] || fail "server class: $(reg_value "$clsid" 32)"
serve "$app" GETLISTAGESTIUNI.TXT COMANDA_1.TXT
grep -q '^DEP;' "$work/LISTAGESTIUNI.TXT" && grep -q 'Au fost generate 1 comenzi' "$work/LOG.TXT" || fail "not served: $(cat "$work/LOG.TXT")"
echo '@echo off' >"$app/Avarie.bat"   # the operator's own
cp "$app/VQBroker.Ini" "$out/edited.ini"

mkdir -p "$c/zip" && (cd "$c/zip" && cmake -E tar xf "$OLDPWD/$zip")
top=$c/zip/VQBroker-$version-win-x86
[ "$(ls "$c/zip")" = "${top##*/}" ] && [ "$(ls "$top" | paste -sd' ')" = "README.txt VQBroker.Ini VQBroker.exe VQDocServer.dll" ] || fail "ZIP: $(cd "$c/zip" && find .)"
serve "$top" GETLISTAGESTIUNI.TXT

wine msiexec /i "$out/VQBroker-$next-x86.msi" /qn || fail "upgrade: $?"
cmp -s "$app/VQBroker.Ini" "$out/edited.ini" || fail "the upgrade changed the settings"
[ "$(products)" = 1 ] || fail "$(products) products after the upgrade"
! wine msiexec /i "$msi" /qn || fail "the lower version installed over the higher one"
wine msiexec /x "$out/VQBroker-$next-x86.msi" /qn || fail "uninstall: $?"
[ "$(cd "$app" && ls -p | grep -v / | paste -sd' ')" = "Avarie.bat VQBroker.Ini" ] && cmp -s "$app/VQBroker.Ini" "$out/edited.ini" || fail "left after uninstall: $(ls "$app")"
[ -z "$(links)" ] && [ "$(products)" = 0 ] && [ -f "$work/LOG.TXT" ] || fail "uninstall left $(links), $(products) products"
[ -z "$(reg_value 'HKLM\Software\VQBroker' 32)" ] && [ -z "$(reg_value "$clsid" 32)" ] || fail "registry entries left"

wine msiexec /i "$msi64" INSTALLDIR='C:\VQ64\' /qn || fail "64-bit install: $?"
[ -f "$c/VQ64/VQBroker.exe" ] && [ "$(reg_value 'HKLM\Software\VQBroker' 64 InstallDir)" = 'C:\VQ64\' ] || fail "64-bit files: $(ls "$c/VQ64")"
wine msiexec /x "$msi64" /qn || fail "64-bit uninstall: $?"
[ ! -e "$c/VQ64/VQBroker.exe" ] && [ -z "$(reg_value 'HKLM\Software\VQBroker' 64)" ] || fail "64-bit uninstall left $(ls "$c/VQ64")"
stop_wine && rm -rf "$WINEPREFIX" "$WINEPREFIX.display"
echo "packages of $version: installed, served, upgraded, uninstalled"
