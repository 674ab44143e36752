#!/usr/bin/env bash
# Builds the VQBroker installer from a folder staged by "cmake --install".
# Usage: make-msi.sh STAGE_DIR x86|x64 VERSION OUTPUT.msi
set -euo pipefail
stage=$1 arch=$2 version=$3
output=$(realpath -m "$4")
wxs=$(realpath "$(dirname "$0")/VQBroker.wxs")
mkdir -p "$(dirname "$output")"
# wixl takes the files' Source paths relative to where it runs.
(cd "$stage" && wixl -a "$arch" -D Arch="$arch" -D Version="$version" -o "$output" "$wxs")
# wixl 0.101 drops Permanent and NeverOverwrite: the operator's settings file is laid down
# only where there is none, and never removed.
permanent=16 never_overwrite=128 bits64=$([ "$arch" = x64 ] && echo 256 || echo 0)
msibuild "$output" -q "UPDATE Component SET Attributes = $((bits64 + permanent + never_overwrite)) WHERE Component = 'Settings'"
# Nor does it take component conditions or secure properties: the program goes in as a service
# or as the window with its Startup shortcut, by SERVICE, which the server side must see.
msibuild "$output" -q "UPDATE Component SET Condition = 'SERVICE=\"1\"' WHERE Component = 'Service'"
for component in Window Autostart; do
  msibuild "$output" -q "UPDATE Component SET Condition = 'SERVICE<>\"1\"' WHERE Component = '$component'"
done
# And it writes an expandable string as a plain one: "#%" marks it.
msibuild "$output" -q "UPDATE Registry SET Value = '#%[INSTALLDIR]VQBroker.exe' WHERE Name = 'EventMessageFile'"
msibuild "$output" -q "UPDATE Property SET Value = 'SERVICE;WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED' WHERE Property = 'SecureCustomProperties'"
# And it cannot schedule an action between two standard ones without moving RemoveExistingProducts
# (see VQBroker.wxs): the recovery actions are set right after InstallServices.
msibuild "$output" -q "INSERT INTO InstallExecuteSequence (Action, Condition, Sequence) VALUES ('SetServiceRecovery', '\$Service=3', 5850)"
