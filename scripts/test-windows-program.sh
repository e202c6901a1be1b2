#!/usr/bin/env bash
# Builds the Windows libraries (or finds them cached), cross-builds veilor.exe,
# QXM.dll, their tests and the installer, then tests the whole system end to
# end in a fresh Wine prefix: silent install, both registrations, a
# right-click "Encrypt with AES" and "Decrypt AES file" through the installed
# QXM.dll (unattended with stored default passwords, then with the report
# shown and the password typed into the password window), the system's error
# box for a damaged settings file, an upgrade over an older version, the
# uninstall entry's values, setup and uninstaller refusing while veilor.exe
# runs, the version resources, silent uninstall, nothing left behind.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${VEILOR_E2E_UNDER_X:-}" ]; then
  ./scripts/setup-windows-deps.sh
  time ./scripts/build-windows-deps.sh
  cmake --preset windows
  cmake --build --preset windows
  # Everything that follows opens windows: one private X server for all of it.
  exec env VEILOR_E2E_UNDER_X=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

build=build/windows
setup=$(ls "$build"/veilor-setup-*.exe)
client=$build/installer/qxm_menu_client.exe
settings_writer=$build/installer/veilor_write_settings.exe
file_holder=$build/installer/veilor_hold_file.exe

. scripts/wine-prefix.sh
make_wine_prefix veilor-e2e
start_wine_prefix

failures=0
check() { # description, command...
  local what=$1
  shift
  if "$@"; then
    echo "ok: $what"
  else
    echo "FAILED: $what"
    failures=$((failures + 1))
  fi
}
# Waits up to $1 seconds for the command to succeed.
wait_for() {
  local seconds=$1
  shift
  for _ in $(seq "$((seconds * 5))"); do
    if "$@"; then return 0; fi
    sleep 0.2
  done
  return 1
}
reg_has() { wine reg query "$1" "${@:2}" >/dev/null 2>&1; }
reg_lacks() { ! reg_has "$@"; }

clsid='{4C1E7AAA-62B0-4D15-9E37-A0C4F2B81D55}'
typelib='{A53F1AAA-8E24-4AB1-8C6D-1F0B7E94C2D8}'
install_dir="$prefix/drive_c/Program Files/Veilor"
start_menu="$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Veilor"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Veilor'
script_key='HKLM\Software\Ordal context menu'

echo "=== silent install"
check "the installer exits with 0" wine "$setup" /S
for f in veilor.exe QXM.dll LICENSE.txt uninstall.exe themes/PassEnterFrm.png menu/veilor.qxm \
  menu/veilor.ico menu/age-encrypt.ico menu/age-decrypt.ico menu/aes-encrypt.ico \
  menu/aes-decrypt.ico menu/des3-encrypt.ico menu/des3-decrypt.ico menu/settings.ico \
  menu/passwords.ico; do
  check "installed: $f" test -f "$install_dir/$f"
done
check "the menu script names the installed program" \
  grep -qF '%1=C:\Program Files\Veilor\veilor.exe' "$install_dir/menu/veilor.qxm"
check "the menu script names the installed icons" \
  grep -qF '%3=C:\Program Files\Veilor\menu\aes-encrypt.ico' "$install_dir/menu/veilor.qxm"
check "no placeholder is left in the menu script" \
  bash -c "! grep -q '@VEILOR_EXE@\|@ICON_DIR@' \"\$1\"" _ "$install_dir/menu/veilor.qxm"
for link in "Veilor settings" "Veilor password manager" "About Veilor"; do
  check "Start menu: $link" test -f "$start_menu/$link.lnk"
done
# What a bare Windows has: the installed programs must need nothing else.
only_system_dlls() {
  local others
  others=$(x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z' |
    grep -vE '^(kernel32|user32|gdi32|advapi32|shell32|shlwapi|ole32|oleaut32|oleacc|comctl32|comdlg32|uxtheme|version|winspool|msvcrt|rpcrt4|ws2_32)\.(dll|drv)$' ||
    true)
  [ -z "$others" ] || { echo "  also needs: $others"; return 1; }
}
check "veilor.exe needs only system DLLs" only_system_dlls "$install_dir/veilor.exe"
check "QXM.dll needs only system DLLs" only_system_dlls "$install_dir/QXM.dll"

echo "=== registrations"
check "the class is served by the installed QXM.dll" \
  bash -c "wine reg query 'HKCR\\CLSID\\$clsid\\InprocServer32' /ve | tr -d '\\r' |
    grep -qiF 'C:\\Program Files\\Veilor\\QXM.dll'"
check "the handler is bound to all files" reg_has 'HKCR\*\ShellEx\ContextMenuHandlers\ZQXM'
check "the handler is bound to folders" reg_has 'HKCR\Directory\ShellEx\ContextMenuHandlers\ZQXM'
check "the type library is registered" reg_has "HKCR\\TypeLib\\$typelib\\1.0"
check "the menu script is stored" \
  bash -c "wine reg query '$script_key' | tr -d '\\r' | grep -qF 'Encrypt with AES'"
check "the uninstaller is registered" reg_has "$uninstall_key" /v UninstallString

echo "=== settings: a stored default password, no report"
ini=$(wine "$settings_writer" 'e2e secret' | tr -d '\r')
echo "settings: $ini"
appdata_ini=$(find "$prefix/drive_c/users" -path '*/AppData/Roaming/Veilor/veilor.ini' | head -n1)
check "the settings lie in %APPDATA%\\Veilor\\veilor.ini" test -n "$appdata_ini"
check "the settings name the stored password as default" grep -q 'UseDefEncPass=1' "$appdata_ini"

echo "=== right-click: Encrypt with AES"
data="$prefix/drive_c/data"
mkdir -p "$data"
head -c 300000 /dev/urandom >"$data/report 1.bin"
cp "$data/report 1.bin" "$prefix/original.bin"
check "the menu client invokes \"Encrypt with AES\"" \
  wine "$client" 'C:\data\report 1.bin' 'Encrypt the selected files with AES'
check "the encrypted file appears" wait_for 120 test -f "$data/report 1.bin.aes"
check "the source is removed, as the settings say" wait_for 60 test ! -e "$data/report 1.bin"
# veilor.exe ends once the batch is done; every program of the prefix has ended
# when the server goes away.
check "veilor.exe finishes" timeout 120 wineserver -w
check "the encrypted file differs from the original" \
  bash -c "! cmp -s \"\$1\" \"\$2\"" _ "$data/report 1.bin.aes" "$prefix/original.bin"

echo "=== right-click: Decrypt AES file"
check "the menu client invokes \"Decrypt AES file\"" \
  wine "$client" 'C:\data\report 1.bin.aes' 'Decrypt the selected AES files'
check "the decrypted file appears" wait_for 120 test -f "$data/report 1.bin"
check "the encrypted file is removed, as the settings say" \
  wait_for 60 test ! -e "$data/report 1.bin.aes"
check "veilor.exe finishes" timeout 120 wineserver -w
check "decrypting gives back the original bytes" cmp "$data/report 1.bin" "$prefix/original.bin"

echo "=== right-click on a folder: Encrypt folder with age, opened by the real age"
age_dir="$data/age folder"
mkdir -p "$age_dir/sub" "$prefix/age-original"
head -c 200000 /dev/urandom >"$age_dir/photo.bin"
printf 'Grüße\n' >"$age_dir/sub/notes.txt"
cp "$age_dir/photo.bin" "$age_dir/sub/notes.txt" "$prefix/age-original/"
check "the menu client invokes \"Encrypt folder with age\"" \
  wine "$client" 'C:\data\age folder' 'Encrypt every file in the folder with age'
check "every file gets its .age file" \
  wait_for 120 test -f "$age_dir/photo.bin.age" -a -f "$age_dir/sub/notes.txt.age"
check "veilor.exe finishes" timeout 120 wineserver -w
check "the sources are removed, as the settings say" \
  test ! -e "$age_dir/photo.bin" -a ! -e "$age_dir/sub/notes.txt"
# age reads its password only from a terminal: typed through a pseudo-terminal.
age_opens() { # sealed file, original
  AGE_TEST_PASSPHRASE='e2e secret' python3 veilor/1_age/tests/age_pty.py \
    age -d -o "$prefix/age-opened" "$1" 2>/dev/null && cmp -s "$prefix/age-opened" "$2"
}
check "age -d opens photo.bin.age to the original bytes" \
  age_opens "$age_dir/photo.bin.age" "$prefix/age-original/photo.bin"
check "age -d opens sub/notes.txt.age to the original bytes" \
  age_opens "$age_dir/sub/notes.txt.age" "$prefix/age-original/notes.txt"
check "the menu client invokes \"Decrypt age files in folder\"" \
  wine "$client" 'C:\data\age folder' 'Decrypt every age file in the folder'
check "veilor.exe finishes" timeout 120 wineserver -w
check "decrypting gives back photo.bin" cmp "$age_dir/photo.bin" "$prefix/age-original/photo.bin"
check "decrypting gives back sub/notes.txt" \
  cmp "$age_dir/sub/notes.txt" "$prefix/age-original/notes.txt"
check "no .age file is left" test -z "$(find "$age_dir" -name '*.age')"

echo "=== right-click with the windows: report shown, decryption password typed"
# The settings file is plain text: no default for decryption, report shown.
sed -i 's/^UseDefDecPass=1/UseDefDecPass=0/; s/^HideReportDlg=1/HideReportDlg=0/' "$appdata_ini"
head -c 70000 /dev/urandom >"$data/typed.bin"
cp "$data/typed.bin" "$prefix/typed.bin"
# Brings veilor's window with this exact title to the front.
activate() {
  local id
  # Single searches, repeated: xdotool's own waiting gives up with BadWindow
  # when a window closes while it looks.
  for _ in $(seq 300); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1)
    [ -n "$id" ] && break
    sleep 0.2
  done
  [ -n "$id" ] || return 1
  xdotool windowactivate --sync "$id" 2>/dev/null || xdotool windowfocus --sync "$id"
  sleep 0.5
}
press_in() { activate "$1" && xdotool key --delay 80 "${@:2}"; }
type_in() { activate "$1" && xdotool type --delay 40 "$2" && sleep 0.3 && xdotool key Return; }
check "the menu client invokes \"Encrypt with AES\"" \
  wine "$client" 'C:\data\typed.bin' 'Encrypt the selected files with AES'
check "the encrypted file appears" wait_for 120 test -f "$data/typed.bin.aes"
check "the source is removed" wait_for 60 test ! -e "$data/typed.bin"
check "Enter closes the encryption report" press_in "Encryption report" Return
check "veilor.exe finishes" timeout 60 wineserver -w
check "the menu client invokes \"Decrypt AES file\"" \
  wine "$client" 'C:\data\typed.bin.aes' 'Decrypt the selected AES files'
check "the password is typed into the password window" type_in "New Dialog" 'e2e secret'
check "the decrypted file appears" wait_for 120 test -f "$data/typed.bin"
check "Enter closes the decryption report" press_in "Decryption report" Return
check "veilor.exe finishes" timeout 60 wineserver -w
check "the typed password gives back the original bytes" cmp "$data/typed.bin" "$prefix/typed.bin"

echo "=== right-click on names outside the ANSI code page: Cyrillic, Chinese, an emoji"
# Unattended again for this block: stored default passwords, no report. The
# settings are put back afterwards.
cp "$appdata_ini" "$prefix/before-names.ini"
sed -i 's/^UseDefDecPass=0/UseDefDecPass=1/; s/^HideReportDlg=0/HideReportDlg=1/' "$appdata_ini"
names_dir="$data/names"
mkdir -p "$names_dir" "$prefix/names-original"
names=('отчёт за май.bin' '加密报告.bin' $'\xF0\x9F\x94\x92 keys.bin' 'plain.bin')
windows_paths=()
for name in "${names[@]}"; do
  head -c 50000 /dev/urandom >"$names_dir/$name"
  cp "$names_dir/$name" "$prefix/names-original/$name"
  windows_paths+=("C:\\data\\names\\$name")
done
# Wine reads the client's arguments in the locale's character set.
names_client() { LC_ALL=C.UTF-8 wine "$client" "$@"; }
all_exist() { local f; for f in "$@"; do [ -e "$f" ] || return 1; done; }
none_exist() { local f; for f in "$@"; do [ ! -e "$f" ] || return 1; done; }
sources=("${names[@]/#/$names_dir/}")
encrypted=("${sources[@]/%/.aes}")
check "the menu client invokes \"Encrypt with AES\" on the four files" \
  names_client "${windows_paths[@]}" 'Encrypt the selected files with AES'
check "every file gets its .aes file under its own name" wait_for 120 all_exist "${encrypted[@]}"
check "every source is removed" wait_for 60 none_exist "${sources[@]}"
check "veilor.exe finishes" timeout 120 wineserver -w
check "nothing else appears in the folder" \
  test "$(find "$names_dir" -type f | wc -l)" -eq "${#names[@]}"
windows_encrypted=("${windows_paths[@]/%/.aes}")
check "the menu client invokes \"Decrypt AES file\" on the four .aes files" \
  names_client "${windows_encrypted[@]}" 'Decrypt the selected AES files'
check "every file comes back" wait_for 120 all_exist "${sources[@]}"
check "every .aes file is removed" wait_for 60 none_exist "${encrypted[@]}"
check "veilor.exe finishes" timeout 120 wineserver -w
for name in "${names[@]}"; do
  check "decrypting gives back the bytes of $name" \
    cmp "$names_dir/$name" "$prefix/names-original/$name"
done
cp "$prefix/before-names.ini" "$appdata_ini"

echo "=== a damaged settings file: the system's message box, nothing overwritten"
cp "$appdata_ini" "$prefix/good.ini"
printf '[StaticGroup/SettingsDlg]\r\nthis line is damaged\r\n' >"$appdata_ini"
cp "$appdata_ini" "$prefix/damaged.ini"
wine "$install_dir/veilor.exe" about &
veilor_pid=$!
check "the error box shows before any window of veilor's" press_in "Error" Return
check "veilor.exe finishes" timeout 60 wineserver -w
failed() { ! wait "$1"; }
check "veilor.exe ends with a failure" failed "$veilor_pid"
check "the damaged settings file is left as it was" cmp "$appdata_ini" "$prefix/damaged.ini"
cp "$prefix/good.ini" "$appdata_ini"

echo "=== a settings file another program holds open: veilor's own error box only"
wine "$file_holder" "$(winepath -w "$appdata_ini")" >"$prefix/holder.out" &
holder_pid=$!
check "the settings file is held" wait_for 30 grep -qs holding "$prefix/holder.out"
wine "$install_dir/veilor.exe" about &
veilor_pid=$!
# The toolkit's own box, had it come, would stand before this one until answered.
check "the error box is the first box" press_in "Error" Return
check "veilor.exe ends with a failure" failed "$veilor_pid"
wine taskkill /f /im veilor_hold_file.exe >/dev/null 2>&1 || true
wait "$holder_pid" 2>/dev/null || true
check "veilor.exe and the holder finish" timeout 60 wineserver -w

echo "=== upgrade: an older version installed, then this one over it"
version=$(basename "$setup" .exe)
version=${version#veilor-setup-}
# One registry value's data as `reg query` prints it.
reg_value() {
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$2 \{2,\}REG_[A-Z_]* \{2,\}//p"
}
value_is() { [ "$(reg_value "$1" "$2")" = "$3" ] || { echo "  $2: $(reg_value "$1" "$2")"; return 1; }; }
older="$prefix/veilor-setup-0.0.1.exe"
check "a setup of version 0.0.1 is built from the same payload" \
  makensis -V1 -NOCD '-XSetCompressor /FINAL zlib' -DVERSION=0.0.1 "-DSETUP_FILE=$older" \
  "$build/installer/veilor.nsi"
check "the older setup exits with 0" wine "$older" /S
check "the uninstall entry names the older version" value_is "$uninstall_key" DisplayVersion 0.0.1
# What older versions leave behind, and a registration gone astray since.
cp "$start_menu/About Veilor.lnk" "$start_menu/Uninstall Veilor.lnk"
wine reg add "$script_key" /v Stale /d 'of the older version' /f >/dev/null 2>&1
wine reg delete 'HKCR\*\ShellEx\ContextMenuHandlers\ZQXM' /f >/dev/null 2>&1
cp "$appdata_ini" "$prefix/before-upgrade.ini"
check "the setup exits with 0 over the older version" wine "$setup" /S
check "the uninstall entry names this version" value_is "$uninstall_key" DisplayVersion "$version"
check "QXM.dll is registered again" reg_has 'HKCR\*\ShellEx\ContextMenuHandlers\ZQXM'
check "the menu script is installed anew" \
  bash -c "wine reg query '$script_key' | tr -d '\\r' | grep -qF 'Encrypt with AES'"
check "nothing of the older stored script is left" reg_lacks "$script_key" /v Stale
check "the older Start-menu uninstall entry is gone" test ! -e "$start_menu/Uninstall Veilor.lnk"
for link in "Veilor settings" "Veilor password manager" "About Veilor"; do
  check "Start menu: $link" test -f "$start_menu/$link.lnk"
done
check "the user's settings are untouched" cmp "$appdata_ini" "$prefix/before-upgrade.ini"

echo "=== the uninstall entry, as Settings -> Apps reads it"
check "DisplayIcon" value_is "$uninstall_key" DisplayIcon 'C:\Program Files\Veilor\veilor.exe'
check "Publisher" value_is "$uninstall_key" Publisher Veilor
check "URLInfoAbout" value_is "$uninstall_key" URLInfoAbout https://veilor.app
check "NoModify" value_is "$uninstall_key" NoModify 0x1
check "NoRepair" value_is "$uninstall_key" NoRepair 0x1
# Within a tenth of what the installed files take, in KB.
size_matches() {
  local kb estimate
  kb=$(du -sk --apparent-size "$install_dir" | cut -f1)
  estimate=$(($(reg_value "$uninstall_key" EstimatedSize)))
  echo "  EstimatedSize $estimate KB, installed $kb KB"
  [ $((estimate * 10)) -ge $((kb * 9)) ] && [ $((estimate * 10)) -le $((kb * 11)) ]
}
check "EstimatedSize is the installed files' size" size_matches
check "no Uninstall entry in the Start menu" test ! -e "$start_menu/Uninstall Veilor.lnk"

echo "=== a running veilor.exe: setup and uninstaller say so and change nothing"
wine "$install_dir/veilor.exe" about &
check "veilor.exe shows its about box" activate About
exits_with() { # code, command...
  local code=0
  "${@:2}" || code=$?
  [ "$code" -eq "$1" ] || { echo "  exit code $code"; return 1; }
}
check "the setup exits with 5" exits_with 5 wine "$setup" /S
# Run in place (_?=), to give its exit code; the folder without spaces, as
# the uninstaller reads it only unquoted.
short_dir=$(winepath -s 'C:\Program Files\Veilor' | tr -d '\r')
check "the uninstaller exits with 5" \
  exits_with 5 wine "$install_dir/uninstall.exe" /S "_?=$short_dir"
check "the extension stays registered" reg_has "HKCR\\CLSID\\$clsid\\InprocServer32"
check "the menu script stays stored" \
  bash -c "wine reg query '$script_key' | tr -d '\\r' | grep -qF 'Encrypt with AES'"
check "the uninstaller stays" test -f "$install_dir/uninstall.exe"
check "Escape closes the about box" press_in About Escape
check "veilor.exe finishes" timeout 60 wineserver -w

echo "=== version resources: the one product version"
# The fixed version numbers and the ProductVersion text of a program's resource.
file_version() {
  python3 - "$1" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
at = data.find(struct.pack("<I", 0xFEEF04BD))
high, low = struct.unpack_from("<II", data, at + 16) if at >= 0 else (0, 0)
key = "ProductVersion".encode("utf-16-le") + b"\0\0"
text = data.find(key)
value = ""
if text >= 0:
    start = text + len(key)
    start += (-start) % 4  # the value is aligned to 32 bits
    end = start
    while data[end:end + 2] not in (b"\0\0", b""):
        end += 2
    value = data[start:end].decode("utf-16-le", "replace")
print(f"{high >> 16}.{high & 0xFFFF}.{low >> 16} {value}")
PY
}
version_is() { [ "$(file_version "$1")" = "$version $version" ] || { echo "  $(file_version "$1")"; return 1; }; }
check "veilor.exe carries version $version" version_is "$install_dir/veilor.exe"
check "QXM.dll carries version $version" version_is "$install_dir/QXM.dll"
check "the setup carries version $version" version_is "$setup"

echo "=== silent uninstall"
check "the uninstaller exits with 0" wine "$install_dir/uninstall.exe" /S
# The uninstaller runs from a copy of itself and returns at once: wait for it.
check "the install folder is gone" wait_for 120 test ! -e "$install_dir"
check "veilor's uninstaller finishes" timeout 120 wineserver -w
check "the Start-menu folder is gone" test ! -e "$start_menu"
check "the class is unregistered" reg_lacks "HKCR\\CLSID\\$clsid"
check "the handler is unbound from files" reg_lacks 'HKCR\*\ShellEx\ContextMenuHandlers\ZQXM'
check "the handler is unbound from folders" \
  reg_lacks 'HKCR\Directory\ShellEx\ContextMenuHandlers\ZQXM'
check "the type library is unregistered" reg_lacks "HKCR\\TypeLib\\$typelib"
check "the program IDs are gone" reg_lacks 'HKCR\ZQXM.ZQXM'
check "the application ID is gone" reg_lacks 'HKCR\AppID\QXM.DLL'
check "the stored menu script is gone" reg_lacks "$script_key"
check "the uninstall entry is gone" reg_lacks "$uninstall_key"
check "the user's settings stay" test -f "$appdata_ini"
check "the user's files stay" cmp "$data/report 1.bin" "$prefix/original.bin"

if [ "$failures" -ne 0 ]; then
  echo "=== $failures end-to-end check(s) failed"
  exit 1
fi
echo "=== end to end under Wine: all checks passed"
