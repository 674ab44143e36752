#!/usr/bin/env bash
# Builds the packages of both presets and proves them under Wine, in a fresh prefix of their
# own: the 32-bit installer as the window and as a service, the 64-bit one's service, the ZIP.
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C
# VQ_PACKAGES_BUILT: the caller built them.
[ -n "${VQ_PACKAGES_BUILT:-}" ] || for preset in mingw-x86 mingw-x64; do
  cmake --preset $preset >/dev/null && cmake --build --preset $preset -j2 --target packages >/dev/null
done
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/mingw-x86/CMakeCache.txt)
next=${version%.*}.$((${version##*.} + 1))
out=$PWD/build/package-test
packages=build/mingw-x86/packages
msi=$packages/VQBroker-$version-x86.msi zip=$packages/VQBroker-$version-win-x86.zip
msi64=build/mingw-x64/packages/VQBroker-$version-x64.msi
packaging/make-msi.sh build/mingw-x86/packaging/stage x86 "$next" "$out/VQBroker-$next-x86.msi"

export WINEPREFIX=$out/prefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
stop_wine() { tools/wine-stop.sh "$WINEPREFIX"; }
stop_wine
rm -rf "$WINEPREFIX"
trap stop_wine EXIT
env -u DISPLAY tools/wine-run.sh "$WINEPREFIX" cmd /c exit   # creates the prefix and its display
read -r number _ <"$WINEPREFIX.display"
export DISPLAY=:$number
# Under Wine a service ends with the last ordinary process: a server that stays. (wine-run.sh's
# "wineserver -p" is refused while wineboot's server is still up.) The services' output is
# detached, or they would hold the caller's pipes.
wineserver -w && wineserver -p
wine cmd /c exit </dev/null >/dev/null 2>&1
# Plain wine from here on: wineboot would also start what the Startup folder holds.

c=$WINEPREFIX/drive_c app="$WINEPREFIX/drive_c/Program Files (x86)/VQBroker" work=$WINEPREFIX/drive_c/work
winapp='C:\Program Files (x86)\VQBroker\'  # $app as Windows names it
clsid='HKLM\Software\Classes\CLSID\{8C18CF0B-77A3-4259-9E00-A351B270204C}\LocalServer32'
fail() { echo "package test: $*"; exit 1; }
# Shortcuts of VQBroker under Start Menu\Programs; Wine puts per-machine ones in the user's.
links() {
  (cd "$c" && find users ProgramData -name '*.lnk' -path '*Start Menu/Programs/*' | grep VQBroker |
    sed 's|.*/Programs/||' | sort | paste -sd'|')
}
reg_value() {
  wine reg query "$1" /reg:"$2" ${3:+/v "$3"} 2>/dev/null | tr -d '\r' |
    sed -n 's/.*REG_[A-Z_]* *//p' | head -1
}
# The stand-in local server as the 32-bit and the 64-bit view name it.
servers() { echo "$(reg_value "$clsid" 32)|$(reg_value "$clsid" 64)"; }
products() {
  for view in 32 64; do
    wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s /reg:$view
  done | grep -c 'DisplayName.*VQBroker'
}
left() { for name in "$@"; do [ ! -e "$work/$name" ] || return 0; done; return 1; }
# Drops the requests in C:\work and waits until they are gone.
drop() {
  for name in "$@"; do cp "examples/$name" "$work/"; done
  for _ in $(seq 150); do left "$@" || return 0; sleep 0.2; done
}
service='HKLM\SYSTEM\CurrentControlSet\Services\VQBroker'
eventsource='HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\VQBroker'
state() { wine sc query VQBroker 2>/dev/null | tr -d '\r' | sed -n 's/.*STATE *: [0-9]* *//p'; }
running() { for _ in $(seq 100); do [ "$(state)" = RUNNING ] && return 0; sleep 0.3; done; return 1; }
# The VQBroker.exe processes of this prefix (Wine's tasklist is a stub).
processes() {
  for p in /proc/[0-9]*; do
    grep -qzx "WINEPREFIX=$WINEPREFIX" "$p/environ" 2>/dev/null &&
      grep -qa "VQBroker\.exe" "$p/cmdline" 2>/dev/null && echo "${p#/proc/}"
  done
}
# Starts DIR\VQBroker.exe on C:\work, drops the requests, waits until they are gone, closes the
# window and expects exit code 0.
serve() {
  local dir=$1; shift
  mkdir -p "$work"
  printf '[Generale]\r\nDirectorLucru=C:\\work\r\nFirmaLucru=DEMO\r\n%b' \
    'IDArticol=CODINTERN\r\nIDPartener=CODINTERN\r\n' >"$dir/VQBroker.Ini"
  timeout 60 wine "$dir/VQBroker.exe" & local pid=$!
  drop "$@"
  wine taskkill /im VQBroker.exe >/dev/null || true
  wait $pid || fail "$dir/VQBroker.exe ended with $?"
  ! left "$@" || fail "$dir/VQBroker.exe left requests unserved: $(cd "$work" && ls)"
}

wine msiexec /i "$msi" /qn || fail "install: $?"
[ -f "$app/VQBroker.exe" ] && [ -f "$app/VQBroker.Ini" ] && [ -f "$app/README.txt" ] &&
  [ ! -e "$app/VQDocServer.exe" ] || fail "installed files: $(ls "$app")"
[ "$(links)" = "StartUp/VQBroker.lnk|VQBroker/VQBroker settings.lnk|VQBroker/VQBroker.lnk" ] ||
  fail "shortcuts: $(links)"
[ "$(reg_value 'HKLM\Software\VQBroker' 32 InstallDir)" = "$winapp" ] || fail "no InstallDir"
[ "$(servers)" = "|" ] || fail "the stand-in server is registered by default"
[ -z "$(state)" ] && [ -n "$(reg_value "$eventsource" 32 EventMessageFile)" ] ||
  fail "the window's install: service '$(state)', no event source"

wine msiexec /i "$msi" ADDLOCAL=DocServer /qn || fail "adding the stand-in server: $?"
exe="\"${winapp}VQDocServer.exe\""
[ "$(servers)" = "$exe|$exe" ] || fail "server class: $(servers)"
serve "$app" GETLISTAGESTIUNI.TXT COMANDA_1.TXT
grep -q '^DEP;' "$work/LISTAGESTIUNI.TXT" && grep -q 'Au fost generate 1 comenzi' "$work/LOG.TXT" ||
  fail "not served: $(cat "$work/LOG.TXT")"
echo '@echo off' >"$app/Avarie.bat"   # the operator's own
cp "$app/VQBroker.Ini" "$out/edited.ini"

mkdir -p "$c/zip" && (cd "$c/zip" && cmake -E tar xf "$OLDPWD/$zip")
top=$c/zip/VQBroker-$version-win-x86
[ "$(ls "$c/zip")" = "${top##*/}" ] &&
  [ "$(ls "$top" | xargs)" = "README.txt VQBroker.Ini VQBroker.exe VQDocServer.dll VQDocServer.exe" ] ||
  fail "ZIP: $(cd "$c/zip" && find .)"
serve "$top" GETLISTAGESTIUNI.TXT

wine msiexec /i "$out/VQBroker-$next-x86.msi" /qn || fail "upgrade: $?"
cmp -s "$app/VQBroker.Ini" "$out/edited.ini" || fail "the upgrade changed the settings"
[ "$(products)" = 1 ] || fail "$(products) products after the upgrade"
! wine msiexec /i "$msi" /qn || fail "the lower version installed over the higher one"
wine msiexec /x "$out/VQBroker-$next-x86.msi" /qn || fail "uninstall: $?"
[ "$(cd "$app" && ls -p | grep -v / | paste -sd' ')" = "Avarie.bat VQBroker.Ini" ] &&
  cmp -s "$app/VQBroker.Ini" "$out/edited.ini" || fail "left after uninstall: $(ls "$app")"
[ -z "$(links)" ] && [ "$(products)" = 0 ] && [ -f "$work/LOG.TXT" ] ||
  fail "uninstall left $(links), $(products) products"
[ -z "$(reg_value 'HKLM\Software\VQBroker' 32)" ] && [ "$(servers)" = "|" ] &&
  [ -z "$(reg_value "$eventsource" 32)" ] || fail "registry entries left"

# The service, on the settings left behind, with a stand-in server whose first process ends
# inside a query's call. ADDLOCAL=ALL asks for the Startup shortcut too, which a service never has.
rm -rf "$work"/* "$app/VQDocServerData"
printf '[Test]\r\nExitInMethod=GetStocArticol\r\nExitCount=1\r\n' >"$app/VQDocServer.ini"
wine msiexec /i "$msi" SERVICE=1 ADDLOCAL=ALL /qn /l*v "$(winepath -w "$out/service.log")" ||
  fail "service install: $?"
running || fail "service: '$(state)'"
# The installer had the program set the recovery actions (Wine keeps none of them). grep -c reads
# the whole log: -q could stop tr early, which pipefail counts as a failure.
tr -d '\0' <"$out/service.log" | grep -c 'SetServiceRecovery' >/dev/null ||
  fail "the installer did not set the recovery actions"
[ "$(reg_value "$service" 32 ImagePath | tr -d '"')" = "${winapp}VQBroker.exe /service" ] &&
  [ "$(reg_value "$service" 32 Start)" = 0x2 ] || fail "service entry: $(wine reg query "$service")"
[ "$(reg_value "$eventsource" 32 EventMessageFile)" = "${winapp}VQBroker.exe" ] ||
  fail "event source: $(wine reg query "$eventsource")"
[ "$(links)" = "VQBroker/VQBroker settings.lnk|VQBroker/VQBroker.lnk" ] || fail "service shortcuts: $(links)"
drop GETSTOCARTICOL.TXT
grep -qs '^A0001;DEP;' "$work/STOCARTICOL.TXT" &&
  grep -qs 'cererea GETSTOCARTICOL.TXT ramane pentru o noua incercare' "$work/LOG.TXT" ||
  fail "the service did not survive its server's end inside a call: $(cat "$work/LOG.TXT")"
# Wine does not carry the features over an upgrade: ADDLOCAL=ALL keeps the stand-in server.
wine msiexec /i "$out/VQBroker-$next-x86.msi" ADDLOCAL=ALL /qn || fail "service upgrade: $?"
running && [ "$(links)" = "VQBroker/VQBroker settings.lnk|VQBroker/VQBroker.lnk" ] ||
  fail "the upgrade changed the form: service '$(state)', $(links)"
wine msiexec /x "$out/VQBroker-$next-x86.msi" /qn || fail "service uninstall: $?"
[ -z "$(state)" ] && [ -z "$(processes)" ] ||
  fail "the uninstall left the service '$(state)', processes $(processes)"
[ -z "$(reg_value "$eventsource" 32)" ] && [ "$(servers)" = "|" ] &&
  cmp -s "$app/VQBroker.Ini" "$out/edited.ini" ||
  fail "the uninstall left the event source or the server class, or changed the settings"

mkdir -p "$c/VQ64" && cp "$out/edited.ini" "$c/VQ64/VQBroker.Ini"
wine msiexec /i "$msi64" INSTALLDIR='C:\VQ64\' SERVICE=1 /qn || fail "64-bit install: $?"
[ -f "$c/VQ64/VQBroker.exe" ] && [ "$(reg_value 'HKLM\Software\VQBroker' 64 InstallDir)" = 'C:\VQ64\' ] ||
  fail "64-bit files: $(ls "$c/VQ64")"
running || fail "64-bit service: '$(state)'"
wine msiexec /x "$msi64" /qn || fail "64-bit uninstall: $?"
[ ! -e "$c/VQ64/VQBroker.exe" ] && [ -z "$(reg_value 'HKLM\Software\VQBroker' 64)" ] ||
  fail "64-bit uninstall left $(ls "$c/VQ64")"
[ -z "$(state)" ] && [ -z "$(processes)" ] ||
  fail "64-bit uninstall left the service '$(state)', processes $(processes)"
stop_wine && rm -rf "$WINEPREFIX" "$WINEPREFIX.display"
echo "packages of $version: installed, served, upgraded, uninstalled, as the window and as a service"
