#!/usr/bin/env bash
# The packages as a user meets them, each in a fresh Wine prefix of its own: the installer run
# silently, the installed program used through its registered "Extract Here" command, a second
# installation just for the user, the uninstallers, and the portable zip unpacked and run. What
# is installed is read back from the disk and the real registry.
# Usage: package_test.sh ARCH SETUP.exe PORTABLE.zip VERSION BIN_DIR
set -uo pipefail
arch="$1" setup="$2" zip="$3" version="$4" bin="$5"
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"

work="$PWD/package-test-$arch"
# The 64-bit program's registry is the 64-bit view, which `wine reg` (a 32-bit program) reads
# only when asked to.
if [ "$arch" = x64 ]; then winearch=win64 view=/reg:64; else winearch=win32 view=; fi
# The x64 packages carry the 32-bit menu handler too, for the 32-bit registry view.
handlers=tolvane_shell.dll && [ "$arch" = x64 ] && handlers="tolvane_shell.dll tolvane_shell32.dll"
export WINEPREFIX="$work/prefix" WINEARCH="$winearch"
stop_prefix() { wineserver -k >/dev/null 2>&1 || true; }
trap 'stop_prefix; tolvane_stop_all' EXIT
stop_prefix && rm -rf "$work"
# A desktop of its own: the suites running beside it keep theirs.
tolvane_start_xvfb && export DISPLAY="$TOLVANE_STARTED_DISPLAY"
mkdir -p "$work/data"
tolvane_fresh_prefix "$WINEPREFIX" "$winearch" || exit 1

failures=0
expect() {  # description, then a command that must succeed
  local what="$1" && shift
  if "$@"; then echo "ok: $what"; else echo "FAIL: $what"; failures=$((failures + 1)); fi
}
same() { [ "$1" = "$2" ] || { echo "  got      [$1]"; echo "  expected [$2]"; return 1; }; }
# One value of the real registry ("" names the default value); empty when it is missing.
reg_value() {
  local option=(/v "$2") && [ -z "$2" ] && option=(/ve)
  wine reg query "$1" "${option[@]}" $view 2>/dev/null </dev/null | tr -d '\r' |
    sed -n 's/^    .*    REG_[A-Z_]*    //p' | head -n 1
}
# Runs a command line as the shell would: "program" arguments, passed on unchanged.
run_command_line() {
  local program="${1#\"}" && program="${program%%\"*}"
  local rest="${1:$((${#program} + 2))}"
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
for file in tolvane.exe $handlers core/7z.dll core/7z.exe core/License.txt lang/de.dll lang/ja.dll; do
  expect "$file installed as built" cmp -s "$unix_folder/$file" "$bin/$file"
done
expect "uninstaller and Start-menu shortcut" test -f "$unix_folder/uninstall.exe" -a -f "$programs/Tolvane Extractor.lnk"
expect "the program registered itself from the installed folder" same \
  "$(for key in 'Tolvane.zip\shell\Tolvane1\command' '*\shell\Tolvane\command' '.zip'; do reg_value "HKCR\\$key" ''; done
     reg_value 'HKLM\Software\RegisteredApplications' 'Tolvane Extractor')" \
  "\"$folder\\tolvane.exe\"  /e \"%1\"
\"$folder\\tolvane.exe\"  /a \"%1\"
Tolvane.zip
SOFTWARE\\Tolvane Extractor\\Capabilities"
expect "the uninstall entry" same \
  "$(for name in DisplayName DisplayVersion Publisher DisplayIcon UninstallString QuietUninstallString; do
       echo "$name=$(reg_value "$uninstall_key" $name)"; done)" \
  "DisplayName=Tolvane Extractor
DisplayVersion=$version
Publisher=The Tolvane Extractor developers
DisplayIcon=$folder\\tolvane.exe,0
UninstallString=\"$folder\\uninstall.exe\"
QuietUninstallString=\"$folder\\uninstall.exe\" /S"
size_kb=$(($(reg_value "$uninstall_key" EstimatedSize)))
installed_kb=$(du -sk --apparent-size "$unix_folder" | cut -f1)
expect "its size is the folder's ($installed_kb KB) within 10%" \
  test "$((size_kb * 10 > installed_kb * 9 && size_kb * 10 < installed_kb * 11))" = 1

# --- 2. the installed program at work --------------------------------------------------------
mkdir -p "$work/data/src/docs" && printf 'alpha' >"$work/data/src/docs/a.txt" && printf 'bravo bravo' >"$work/data/src/b.txt"
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
expect "its uninstaller leaves the installation for all users in place" \
  test -f "$unix_folder/tolvane.exe" -a "$(reg_value "$uninstall_key" DisplayName)" = "Tolvane Extractor"

# --- 4. silent uninstall ---------------------------------------------------------------------
wine reg add "$settings_key" /v last_path /t REG_SZ /d 'C:\kept' /f >/dev/null 2>&1 </dev/null
quiet_uninstall=$(reg_value "$uninstall_key" QuietUninstallString)
started=$(date +%s%N)
run_command_line "$quiet_uninstall"
# The uninstaller hands over to a copy of itself in the temporary folder and returns at once;
# the copy is done when the prefix has no process left.
wineserver -w
echo "uninstall took $(seconds_since "$started") s"

expect "the user's settings are kept" same "$(reg_value "$settings_key" last_path)" 'C:\kept'
# Nothing of either installation anywhere in the prefix: no file, no shortcut, no registry
# entry (uninstall entries, file types, verbs, default-programs entry), bar the settings key.
leftovers=$(cd "$WINEPREFIX" && { find drive_c -iname '*tolvane*'
  grep -i tolvane system.reg user.reg | grep -v '^user.reg:\[Software\\\\Tolvane Extractor\] '; })
expect "nothing of the program is left in the prefix" same "$leftovers" ""

# --- 5. the portable zip -----------------------------------------------------------------------
top="TolvaneExtractor-$version-$arch"
expect "the zip holds the program, its menu handler, core\\, lang\\, the README and the portable marker" same \
  "$(python3 -c 'import sys, zipfile; print(" ".join(sorted(zipfile.ZipFile(sys.argv[1]).namelist())))' "$zip")" \
  "$top/README.txt $top/core/7z.dll $top/core/7z.exe $top/core/License.txt $top/lang/de.dll $top/lang/ja.dll $top/portable.txt $top/tolvane.exe$(printf " $top/%s" $handlers)"
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$zip" "$work/portable"
expect "the README tells how to register the verbs" grep -q 'tolvane.exe /Register' "$work/portable/$top/README.txt"
rm -rf "$work/data/docs" "$work/data/b.txt"
portable_program=$(winepath -w "$work/portable/$top/tolvane.exe")
run_command_line "\"$portable_program\" /e \"$archive\""
expect "the unpacked program extracts" same "$(cat "$work/data/docs/a.txt" 2>&1)" "alpha"
expect "and registers nothing before the user asks" same "$(reg_value 'HKCU\Software\Classes\.zip' '')" ""
run_command_line "\"$portable_program\" /Register"
expect "/Register registers it for the user where it lies" \
  same "$(reg_value 'HKCU\Software\Classes\Tolvane.zip\shell\Tolvane1\command' '')" "\"$portable_program\"  /e \"%1\""

[ "$failures" -eq 0 ] && stop_prefix && rm -rf "$work" && exit 0
echo "$failures checks failed; the prefix is kept for a look: $WINEPREFIX"
exit 1
