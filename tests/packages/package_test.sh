#!/usr/bin/env bash
# The packages as a user meets them, in a fresh Wine prefix of their own:
#  1. the installer, run silently into a chosen folder, puts down the program and its engine,
#     a Start-menu shortcut, the shell registration and an uninstall entry (read back from the
#     real registry);
#  2. the installed program, started by the "Extract Here" command exactly as the registry
#     holds it, lists and extracts an archive made by the installed 7z.exe;
#  3. an installation just for the current user, beside it, is removed by its own uninstaller;
#  4. the uninstall entry's quiet command removes every file, shortcut and registry entry,
#     and keeps the user's settings;
#  5. the portable zip holds the program, core\ and the README, and runs unpacked.
# Usage: package_test.sh ARCH SETUP.exe PORTABLE.zip VERSION BIN_DIR
set -uo pipefail
arch="$1" setup="$2" zip="$3" version="$4" bin="$5"
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"

work="$PWD/package-test-$arch"
# The 64-bit program's registry is the 64-bit view, which `wine reg` (a 32-bit program) reads
# only when asked to.
if [ "$arch" = x64 ]; then winearch=win64 view=/reg:64; else winearch=win32 view=; fi
export WINEPREFIX="$work/prefix" WINEARCH="$winearch"
stop_prefix() { wineserver -k >/dev/null 2>&1 || true; }
trap stop_prefix EXIT
stop_prefix
rm -rf "$work"
mkdir -p "$work/data"
tolvane_ensure_prefix "$WINEPREFIX" "$winearch" || exit 1

failures=0
expect() {  # description, then a command that must succeed
  local what="$1"
  shift
  if "$@"; then echo "ok: $what"; else echo "FAIL: $what"; failures=$((failures + 1)); fi
}
same() { [ "$1" = "$2" ] || { echo "  got      [$1]"; echo "  expected [$2]"; return 1; }; }
# One value of the real registry ("" names the default value); empty when it is missing.
reg_value() {
  local option=(/v "$2")
  [ -z "$2" ] && option=(/ve)
  wine reg query "$1" "${option[@]}" $view 2>/dev/null </dev/null | tr -d '\r' |
    sed -n 's/^    .*    REG_[A-Z_]*    //p' | head -n 1
}
reg_missing() { ! wine reg query "$1" $view >/dev/null 2>&1 </dev/null; }
# Runs a command line as the shell would: "program" arguments, passed on unchanged.
run_command_line() {
  local line="$1" program rest
  program="${line#\"}"
  program="${program%%\"*}"
  rest="${line:$((${#program} + 2))}"
  timeout 120 wine "$bin/raw_launch.exe" "$program" "${rest# }" </dev/null
}
seconds_since() { echo "$(($(date +%s%N) - $1))" | awk '{ printf "%.1f", $1 / 1e9 }'; }

folder='C:\Tools\Tolvane Extractor'
unix_folder="$WINEPREFIX/drive_c/Tools/Tolvane Extractor"
programs="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tolvane Extractor'
settings_key='HKCU\Software\Tolvane Extractor'

# --- 1. silent install ---------------------------------------------------------------------
started=$(date +%s%N)
# /D= takes the rest of the command line unquoted, as typed at a command prompt.
run_command_line "\"$(winepath -w "$setup")\" /S /D=$folder"
expect "the installer exits with 0" same "$?" 0
echo "install took $(seconds_since "$started") s"

for file in tolvane.exe core/7z.dll core/7z.exe core/License.txt; do
  expect "$file installed as built" cmp -s "$unix_folder/$file" "$bin/$file"
done
expect "uninstaller installed" test -f "$unix_folder/uninstall.exe"
expect "Start-menu shortcut" test -f "$programs/Tolvane Extractor.lnk"

expect "Extract Here verb points at the installed program" \
  same "$(reg_value 'HKCR\Tolvane.zip\shell\Tolvane1\command' '')" "\"$folder\\tolvane.exe\"  /e \"%1\""
expect "Add to archive... verb on every file" \
  same "$(reg_value 'HKCR\*\shell\Tolvane\command' '')" "\"$folder\\tolvane.exe\"  /a \"%1\""
expect ".zip files belong to the program" same "$(reg_value 'HKCR\.zip' '')" Tolvane.zip
expect "default-programs entry" \
  same "$(reg_value 'HKLM\Software\RegisteredApplications' 'Tolvane Extractor')" 'SOFTWARE\Tolvane Extractor\Capabilities'

expect "uninstall entry: name" same "$(reg_value "$uninstall_key" DisplayName)" "Tolvane Extractor"
expect "uninstall entry: version" same "$(reg_value "$uninstall_key" DisplayVersion)" "$version"
expect "uninstall entry: publisher" same "$(reg_value "$uninstall_key" Publisher)" "The Tolvane Extractor developers"
expect "uninstall entry: icon" same "$(reg_value "$uninstall_key" DisplayIcon)" "$folder\\tolvane.exe,0"
size_kb=$(($(reg_value "$uninstall_key" EstimatedSize)))
installed_kb=$(($(du -sk --apparent-size "$unix_folder" | cut -f1)))
expect "uninstall entry: size within 10% of the folder's ($installed_kb KB)" \
  test "$((size_kb * 10 > installed_kb * 9 && size_kb * 10 < installed_kb * 11))" = 1
expect "uninstall entry: uninstall command" \
  same "$(reg_value "$uninstall_key" UninstallString)" "\"$folder\\uninstall.exe\""
quiet_uninstall=$(reg_value "$uninstall_key" QuietUninstallString)
expect "uninstall entry: quiet uninstall command" same "$quiet_uninstall" "\"$folder\\uninstall.exe\" /S"

# --- 2. the installed program at work --------------------------------------------------------
mkdir -p "$work/data/src/docs"
printf 'alpha' >"$work/data/src/docs/a.txt"
printf 'bravo bravo' >"$work/data/src/b.txt"
(cd "$work/data/src" && timeout 60 wine "$unix_folder/core/7z.exe" a -tzip ../sample.zip docs b.txt \
  </dev/null >/dev/null)
rm -rf "$work/data/src"
archive=$(winepath -w "$work/data/sample.zip")
extract_here=$(reg_value 'HKCR\Tolvane.zip\shell\Tolvane1\command' '')
run_command_line "${extract_here//%1/$archive}"
expect "Extract Here exits with 0" same "$?" 0
expect "Extract Here writes the archive's folder tree beside it" \
  same "$(cat "$work/data/docs/a.txt" 2>&1)|$(cat "$work/data/b.txt" 2>&1)" "alpha|bravo bravo"

# --- 3. beside it, just for the current user ------------------------------------------------
user_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tolvane Extractor'
run_command_line "\"$(winepath -w "$setup")\" /S /CurrentUser"
user_uninstall=$(reg_value "$user_key" QuietUninstallString)
user_folder=$(winepath -u "$(reg_value "$user_key" InstallLocation)")
local_app_data=$(winepath -u "$(wine cmd /c echo %LOCALAPPDATA% </dev/null | tr -d '\r')")
expect "a user's install goes to the user's own programs folder" \
  test -f "$user_folder/tolvane.exe" -a "$user_folder" = "$local_app_data/Programs/Tolvane Extractor"
run_command_line "$user_uninstall"
wineserver -w
expect "its uninstaller removes it" test ! -e "$user_folder" -a -z "$(reg_value "$user_key" DisplayName)"
expect "and leaves the installation for all users in place" \
  test -f "$unix_folder/tolvane.exe" -a "$(reg_value "$uninstall_key" DisplayName)" = "Tolvane Extractor"

# --- 4. silent uninstall ---------------------------------------------------------------------
wine reg add "$settings_key" /v last_path /t REG_SZ /d 'C:\kept' /f >/dev/null 2>&1 </dev/null
started=$(date +%s%N)
run_command_line "$quiet_uninstall"
# The uninstaller hands over to a copy of itself in the temporary folder and returns at once;
# the copy is done when the prefix has no process left.
wineserver -w
echo "uninstall took $(seconds_since "$started") s"

expect "the installation folder is gone" test ! -e "$unix_folder"
expect "the shortcut is gone" test ! -e "$programs/Tolvane Extractor.lnk"
expect "the uninstall entry is gone" reg_missing "$uninstall_key"
for key in 'HKCR\Tolvane.zip' 'HKCR\Tolvane.rar' 'HKCR\.zip' 'HKCR\*\shell\Tolvane' 'HKCR\Folder\shell\Tolvane' \
  'HKCU\Software\Classes\Tolvane.zip' 'HKLM\Software\Tolvane Extractor'; do
  expect "$key is gone" reg_missing "$key"
done
expect "the user's settings are kept" same "$(reg_value "$settings_key" last_path)" 'C:\kept'
# Nothing else anywhere in the prefix: no file, no registry entry, bar the settings key.
leftovers=$(cd "$WINEPREFIX" && { find drive_c -iname '*tolvane*'
  grep -i tolvane system.reg user.reg | grep -v '^user.reg:\[Software\\\\Tolvane Extractor\] '; })
expect "nothing of the program is left in the prefix" same "$leftovers" ""

# --- 5. the portable zip -----------------------------------------------------------------------
top="TolvaneExtractor-$version-$arch"
expect "the zip holds the program, core\\ and the README" same \
  "$(python3 -c 'import sys, zipfile; print(" ".join(sorted(zipfile.ZipFile(sys.argv[1]).namelist())))' "$zip")" \
  "$top/README.txt $top/core/7z.dll $top/core/7z.exe $top/core/License.txt $top/tolvane.exe"
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$zip" "$work/portable"
expect "the README tells how to register the verbs" grep -q 'tolvane.exe /Register' "$work/portable/$top/README.txt"
rm -rf "$work/data/docs" "$work/data/b.txt"
portable_program=$(winepath -w "$work/portable/$top/tolvane.exe")
run_command_line "\"$portable_program\" /e \"$archive\""
expect "the unpacked program extracts" same "$(cat "$work/data/docs/a.txt" 2>&1)" "alpha"
expect "and registers itself where it lies" \
  same "$(reg_value 'HKCR\Tolvane.zip\shell\Tolvane1\command' '')" "\"$portable_program\"  /e \"%1\""

if [ "$failures" -eq 0 ]; then
  stop_prefix
  rm -rf "$work"
  exit 0
fi
echo "$failures checks failed; the prefix is kept for a look: $WINEPREFIX"
exit 1
