#!/usr/bin/env bash
# Installs, upgrades, downgrades and uninstalls ソラニカ's .msi with msiexec
# under Wine, each case in a fresh copy of one prepared Wine prefix, and
# checks what a user would find: the files, the Start-menu shortcut, the
# entry in Apps & features, and nothing left after the uninstall.
#   msi-install.sh OUTDIR MSI STAGE_DIR VERSION RUN-UNDER-WINE WINE WINESERVER PREFIX
# PREFIX is the prepared prefix (made by RUN-UNDER-WINE when missing); it is
# copied, never changed. The older package of the upgrade and downgrade
# cases is built here from a changed copy of the stage, version 0.0.1.
#
# Where Wine is not Windows, and what is checked instead:
# - the uninstall entry of a per-user install lands under HKLM (Windows:
#   HKCU), so it is looked for in both;
# - DisplayIcon is not written to it, so the icon is left to the tables'
#   ARPPRODUCTICON (msi-tables.sh);
# - the shortcut holds its target only in the ANSI code page, which breaks
#   it for a Japanese folder name unless that is 932: Wine runs here in the
#   Japanese locale, as on the Japanese Windows of ソラニカ's users, whereas
#   Windows also writes the Unicode path (untested: a non-Japanese Windows);
# - msiexec's exit codes arrive modulo 256 (1603 as 67);
# - `reg query` prints '?' for Japanese, so keys are exported to files.
set -euo pipefail
if [ $# -ne 8 ]; then
    echo "usage: msi-install.sh OUTDIR MSI STAGE_DIR VERSION RUN-UNDER-WINE WINE WINESERVER PREFIX" >&2
    exit 2
fi
out=$(realpath -m "$1")
msi=$(realpath "$2")
stage=$(realpath "$3")
version=$4
runner=$5 wine=$6 wineserver=$7 prepared=$(realpath -m "$8")
here=$(cd "$(dirname "$0")/../.." && pwd)
rm -rf "$out"
mkdir -p "$out"
# Code page 932 in Wine, as on a Japanese Windows.
export LC_ALL=ja_JP.UTF-8
failures=0
fail() {
    echo "msi-install.sh: $1" >&2
    failures=$((failures + 1))
}

[ -f "$prepared/.soranika-ready" ] || "$runner" "$wine" "$wineserver" "$prepared" cmd.exe /c exit
product_code() {
    msiinfo export "$1" Property | tr -d '\0\r' | sed -n 's/^ProductCode\t//p'
}
code=$(product_code "$msi")

# The older package: another LICENSE.txt and a file the new one lacks.
cp -a "$stage" "$out/old-stage"
echo "old" >>"$out/old-stage/LICENSE.txt"
echo "old" >"$out/old-stage/old-only.txt"
"$here/packaging/windows/msi.sh" "$out/old-stage" 0.0.1 "$out/old.msi"
old_code=$(product_code "$out/old.msi")

# A fresh prefix for a case, and commands in it.
fresh() {
    pfx=$out/$1
    cp -a "$prepared" "$pfx"
    user_dir=$(find "$pfx/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n 1)
    user=$(basename "$user_dir")
    installed=$user_dir/AppData/Local/Programs/ソラニカ
    shortcut="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/ソラニカ.lnk"
}
in_wine() {
    "$runner" "$wine" "$wineserver" "$pfx" "$@"
}
# msiexec ARGUMENTS...: its exit code (modulo 256 under Wine) and the time.
msiexec() {
    local start status=0
    start=$(date +%s.%N)
    in_wine msiexec.exe "$@" /qn >>"$pfx.log" 2>&1 || status=$?
    seconds=$(awk "BEGIN { print $(date +%s.%N) - $start }")
    return "$status"
}
# A product code as Windows Installer keys its registry entries: the first
# three groups reversed, the bytes of the rest with their digits swapped.
pack_guid() {
    local g=${1//[\{\}-]/} packed='' i
    for i in {7..0} {11..8} {15..12}; do packed+=${g:i:1}; done
    for ((i = 16; i < 32; i += 2)); do packed+=${g:i+1:1}${g:i:1}; done
    echo "$packed"
}
windows_path() {
    echo "Z:$(sed 's|/|\\|g' <<<"$1")"
}
# Reads the uninstall entries as regedit exports them (UTF-16), from HKCU,
# where Windows writes them for a per-user install, and HKLM, where Wine
# does; entries and entry read what was read last.
read_entries() {
    local hive
    : >"$pfx.uninstall.txt"
    for hive in HKEY_CURRENT_USER HKEY_LOCAL_MACHINE; do
        rm -f "$pfx.reg"
        in_wine regedit.exe /E "$(windows_path "$pfx.reg")" \
            "$hive\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall" >/dev/null 2>&1 || true
        if [ -f "$pfx.reg" ]; then
            iconv -f UTF-16 -t UTF-8 "$pfx.reg" | tr -d '\r' >>"$pfx.uninstall.txt"
        fi
    done
}
entries() {
    cat "$pfx.uninstall.txt"
}
# The values of one product's uninstall entry, one "name"="value" a line.
entry() {
    entries | sed -n "/^\[.*\\\\Uninstall\\\\$1\]\$/,/^\$/p" | grep '^"' || true
}
check_files() { # WHAT
    local differences
    differences=$(diff -r "$stage" "$installed" 2>&1) ||
        fail "$1: the installed files are not the staged ones:
$differences"
}

# Installed: the files, the shortcut, the entry.
fresh install
msiexec /i "$(windows_path "$msi")" || fail "msiexec /i failed with $? (modulo 256)"
install_time=$seconds
check_files install
if [ ! -f "$shortcut" ]; then
    fail "no Start-menu shortcut $shortcut"
else
    link=$(lnkinfo -c windows-932 "$shortcut")
    grep -qE "^\s*Local path\s*: C:\\\\users\\\\$user\\\\AppData\\\\Local\\\\Programs\\\\ソラニカ\\\\soranika\.exe$" <<<"$link" ||
        fail "the shortcut does not target the installed soranika.exe: $(grep 'Local path' <<<"$link")"
    grep -qE "^\s*Working directory\s*: C:\\\\users\\\\$user\\\\AppData\\\\Local\\\\Programs\\\\ソラニカ\\\\?$" <<<"$link" ||
        fail "the shortcut's working folder is not the installation folder: $(grep 'Working directory' <<<"$link")"
    grep -qE "^\s*Icon location\s*: .*\\\\soranika\.ico$" <<<"$link" ||
        fail "the shortcut has not the program's icon: $(grep 'Icon location' <<<"$link")"
fi
read_entries
values=$(entry "$code")
for value in '"DisplayName"="ソラニカ"' "\"DisplayVersion\"=\"$version\"" \
    '"Publisher"="ソラニカ開発チーム"' '"NoModify"=dword:00000001' '"NoRepair"=dword:00000001'; do
    grep -qxF "$value" <<<"$values" || fail "the uninstall entry $code has no $value; it has:
$values"
done

# An older version over it is refused, and changes nothing.
status=0
msiexec /i "$(windows_path "$out/old.msi")" || status=$?
[ "$status" -ne 0 ] || fail "the older package installed over the newer one"
check_files "after the refused downgrade"
read_entries
[ -z "$(entry "$old_code")" ] || fail "the refused older version has an uninstall entry"

# Uninstalled: nothing of ソラニカ is left, neither a file nor a registry
# value (Wine writes the registry to these files when its server ends).
msiexec /x "$code" || fail "msiexec /x failed with $? (modulo 256)"
uninstall_time=$seconds
leftovers=$(cd "$pfx/drive_c" && find . -iname '*soranika*' -o -name '*ソラニカ*' -o -iname "*${code//[\{\}]/}*")
[ -z "$leftovers" ] || fail "left after the uninstall: $leftovers"
packed=$(pack_guid "$code")
for pattern in "$code" "$packed" Soranika '\\x30bd\\x30e9\\x30cb\\x30ab'; do
    if matches=$(grep -i -F -- "$pattern" "$pfx"/*.reg); then
        fail "the registry still holds $pattern: $matches"
    fi
done

# An older version is upgraded: one entry remains, the files are the new ones.
fresh upgrade
msiexec /i "$(windows_path "$out/old.msi")" || fail "the older package did not install ($?)"
msiexec /i "$(windows_path "$msi")" || fail "the upgrade failed with $? (modulo 256)"
upgrade_time=$seconds
check_files upgrade
read_entries
[ -z "$(entry "$old_code")" ] || fail "the older version's uninstall entry is left after the upgrade"
names=$(entries | grep -cxF '"DisplayName"="ソラニカ"' || true)
[ "$names" = 1 ] || fail "$names uninstall entries named ソラニカ after the upgrade"
grep -qxF "\"DisplayVersion\"=\"$version\"" <<<"$(entry "$code")" ||
    fail "after the upgrade the entry is not version $version"

if [ "$failures" -ne 0 ]; then
    echo "msi-install.sh: $failures failures; the prefixes are in $out" >&2
    exit 1
fi
printf 'install %.1f s, upgrade %.1f s, uninstall %.1f s under Wine\n' \
    "$install_time" "$upgrade_time" "$uninstall_time"
rm -rf "$out/install" "$out/upgrade" "$out/old-stage"
