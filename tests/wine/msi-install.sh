#!/usr/bin/env bash
# Installs, upgrades, downgrades and uninstalls ソラニカ's .msi with msiexec
# under Wine, each case in a fresh copy of one prepared Wine prefix, and
# checks what a user would find: the files, the Start-menu shortcut, the
# entry in Apps & features, and nothing left after the uninstall; per user
# (the default) and for all users (ALLUSERS=1, as an administrator installs
# it for a school's computer room), silently (/qn), as README says.
#   msi-install.sh OUTDIR MSI STAGE_DIR IDENTITY OLD WINE-RUN PREFIX
# IDENTITY is the Windows build's soranika-identity.sh; OLD holds the
# identity and WiX source of version 0.0.1, of which the older package of
# the upgrade and downgrade cases is built here from a changed copy of the
# stage. PREFIX is the prepared prefix (made when missing); it is copied,
# never changed.
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
# - everything runs as administrator, so a per-user install needing none is
#   only shown by the tables (msi-tables.sh);
# - the shortcut of an install for all users lands in the user's Start
#   menu (Windows: the Start menu of all users, ProgramMenuFolder following
#   ALLUSERS), so it is looked for in both;
# - msiexec's exit codes arrive modulo 256 (1603 as 67);
# - `reg query` prints '?' for Japanese, so keys are exported to files.
set -euo pipefail
if [ $# -ne 7 ]; then
    echo "usage: msi-install.sh OUTDIR MSI STAGE_DIR IDENTITY OLD WINE-RUN PREFIX" >&2
    exit 2
fi
out=$(realpath -m "$1")
msi=$(realpath "$2")
stage=$(realpath "$3")
identity=$(realpath "$4")
old=$(realpath "$5")
wine_run=$6 prepared=$(realpath -m "$7")
# shellcheck source=/dev/null
. "$identity"
version=$soranika_version
code="{$soranika_product_code}"
# shellcheck source=prefix-steps.sh
. "$(dirname "$0")/prefix-steps.sh"
rm -rf "$out"
mkdir -p "$out"
# Code page 932 in Wine, as on a Japanese Windows.
export LC_ALL=ja_JP.UTF-8
failures=0
fail() {
    echo "msi-install.sh: $1" >&2
    failures=$((failures + 1))
}

# The older package: another LICENSE.txt and a file the new one lacks.
cp -a "$stage" "$out/old-stage"
echo "old" >>"$out/old-stage/LICENSE.txt"
echo "old" >"$out/old-stage/old-only.txt"
make_msi "$out/old-stage" "$old/soranika.wxs.in" "$old/soranika-identity.sh" "$out/old.msi"
# shellcheck source=/dev/null
old_code="{$(. "$old/soranika-identity.sh" && echo "$soranika_product_code")}"

# A fresh prefix for a case, where the package goes for SCOPE (user or
# machine): $installed and $shortcut.
fresh() { # CASE SCOPE
    fresh_prefix "$out/$1"
    if [ "$2" = machine ]; then
        installed=$machine_folder shortcut=$machine_shortcut scope_arguments=(ALLUSERS=1)
        windows_folder='C:\\Program Files\\ソラニカ'
    else
        installed=$user_folder shortcut=$user_shortcut scope_arguments=()
        windows_folder="C:\\\\users\\\\$user\\\\AppData\\\\Local\\\\Programs\\\\ソラニカ"
    fi
}
# msiexec ARGUMENTS...: silent, its exit code (modulo 256 under Wine) and
# the time.
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
# Reads the uninstall entries as regedit exports them (UTF-16), from HKCU,
# where Windows writes them for a per-user install, and HKLM, where Wine
# does and where a per-machine install has them; entries and entry read
# what was read last.
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

declare -A install_time uninstall_time
for scope in user machine; do
    # Installed: the files, the shortcut, the entry.
    fresh "install-$scope" "$scope"
    msiexec /i "$(windows_path "$msi")" "${scope_arguments[@]}" ||
        fail "$scope: msiexec /i failed with $? (modulo 256)"
    install_time[$scope]=$seconds
    check_files "$scope: install"
    # Wine puts the shortcut of an install for all users into the user's
    # Start menu too (Windows: the one of all users).
    [ -f "$shortcut" ] || [ "$scope" != machine ] || shortcut=$user_shortcut
    if [ ! -f "$shortcut" ]; then
        fail "$scope: no Start-menu shortcut $shortcut"
    else
        link=$(lnkinfo -c windows-932 "$shortcut")
        grep -qE "^\s*Local path\s*: $windows_folder\\\\soranika\.exe$" <<<"$link" ||
            fail "the shortcut does not target the installed soranika.exe: $(grep 'Local path' <<<"$link")"
        grep -qE "^\s*Working directory\s*: $windows_folder\\\\?$" <<<"$link" ||
            fail "the shortcut's working folder is not the installation folder: $(grep 'Working directory' <<<"$link")"
        grep -qE "^\s*Icon location\s*: .*\\\\soranika\.ico$" <<<"$link" ||
            fail "the shortcut has not the program's icon: $(grep 'Icon location' <<<"$link")"
    fi
    read_entries
    values=$(entry "$code")
    for value in '"DisplayName"="ソラニカ"' "\"DisplayVersion\"=\"$version\"" \
        "\"Publisher\"=\"$soranika_publisher\"" "\"Contact\"=\"$soranika_contact\"" \
        "\"HelpLink\"=\"$soranika_help_url\"" '"NoModify"=dword:00000001' '"NoRepair"=dword:00000001'; do
        grep -qxF "$value" <<<"$values" || fail "$scope: the uninstall entry $code has no $value; it has:
$values"
    done

    # An older version over it is refused, and changes nothing.
    status=0
    msiexec /i "$(windows_path "$out/old.msi")" "${scope_arguments[@]}" || status=$?
    [ "$status" -ne 0 ] || fail "$scope: the older package installed over the newer one"
    check_files "$scope: after the refused downgrade"
    read_entries
    [ -z "$(entry "$old_code")" ] || fail "$scope: the refused older version has an uninstall entry"

    # Uninstalled: nothing of ソラニカ is left, neither a file nor a registry
    # value (Wine writes the registry to these files when its server ends).
    msiexec /x "$code" "${scope_arguments[@]}" || fail "$scope: msiexec /x failed with $? (modulo 256)"
    uninstall_time[$scope]=$seconds
    leftovers=$(cd "$pfx/drive_c" && find . -iname '*soranika*' -o -name '*ソラニカ*' -o -iname "*${code//[\{\}]/}*")
    [ -z "$leftovers" ] || fail "$scope: left after the uninstall: $leftovers"
    packed=$(pack_guid "$code")
    for pattern in "$code" "$packed" Soranika '\\x30bd\\x30e9\\x30cb\\x30ab'; do
        if matches=$(grep -i -F -- "$pattern" "$pfx"/*.reg); then
            fail "$scope: the registry still holds $pattern: $matches"
        fi
    done

done

# An older version is upgraded: one entry remains, the files are the new ones.
fresh upgrade user
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
printf 'per user: install %.1f s, uninstall %.1f s; for all users: install %.1f s, uninstall %.1f s; upgrade %.1f s under Wine\n' \
    "${install_time[user]}" "${uninstall_time[user]}" "${install_time[machine]}" \
    "${uninstall_time[machine]}" "$upgrade_time"
rm -rf "$out"/install-* "$out/upgrade" "$out/old-stage"
