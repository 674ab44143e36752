#!/usr/bin/env bash
# Runs VQBroker (32-bit) under Wine on a demo working directory, with the stand-in
# document server registered: VQDocServer.exe, in a process of its own as an application's
# server runs, or with --dll VQDocServer.dll inside VQBroker; --utf8 sets CodificareFisiere=UTF8.
# "tools/demo.sh stop" ends it.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
export WINEPREFIX=$root/build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
app=$root/demo/app
work=$root/demo/work

form=exe encoding=ANSI
for option in "$@"; do
  [ "$option" = --dll ] && form=dll
  [ "$option" = --utf8 ] && encoding=UTF8
done
if [ "${1:-}" = stop ]; then
  wineserver -k 2>/dev/null || true
  echo "VQBroker stopped."
  exit 0
fi

bash tools/setup.sh
cmake --preset mingw-x86 >/dev/null
cmake --build --preset mingw-x86 -j"$(nproc)" --target VQBroker VQDocServer VQDocServerExe >/dev/null

mkdir -p "$app" "$work"
cp build/mingw-x86/bin/VQBroker.exe build/mingw-x86/bin/VQDocServer.{dll,exe} "$app/"
windows_path() { tools/wine-run.sh "$WINEPREFIX" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
work_win=$(windows_path "$work")
printf '[Generale]\r\nDirectorLucru=%s\r\nFirmaLucru=DEMO\r\nIDArticol=CODINTERN\r\nIDPartener=CODINTERN\r\nGestiune=\r\nPrefixareErori=D\r\nCodificareFisiere=%s\r\n' \
  "$work_win" "$encoding" >"$app/VQBroker.Ini"
# The operator's emergency script: here it only notes each start.
printf '@echo off\r\necho %%DATE%% %%TIME%% working directory unreachable>>"%s"\r\n' \
  "$(windows_path "$root/demo")\\avarie.txt" >"$app/Avarie.bat"
# Each form's registration removes the other's.
if [ $form = dll ]; then
  tools/wine-run.sh "$WINEPREFIX" regsvr32 /s "$(windows_path "$app/VQDocServer.dll")"
else
  tools/wine-run.sh "$WINEPREFIX" "$app/VQDocServer.exe" /RegServer
fi

tools/wine-run.sh "$WINEPREFIX" "$app/VQBroker.exe" </dev/null >/dev/null 2>&1 &
echo "VQBroker is running under Wine (stop it with: bash tools/demo.sh stop)."
echo "Working directory: $work"
echo "Activity log:      $work/LOG.TXT"
echo "Settings:          $app/VQBroker.Ini"
echo "Try:               cp examples/COMANDA_1.TXT examples/GETSTOC.TXT $work/"
