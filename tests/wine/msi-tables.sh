#!/usr/bin/env bash
# Reads ソラニカ's .msi with msiinfo, without Wine, and checks what Windows
# decides from the tables alone: the Japanese code page and names, the
# version, the fixed upgrade code, a per-user install that asks for no
# elevation (Wine runs everything as administrator, so only the tables can
# show this), the Start-menu shortcut, Apps & features without modify or
# repair, and a refused downgrade with a Japanese message. A second build of
# the same version from the same stage must have the same product code,
# another version another one.
#   msi-tables.sh MSI VERSION STAGE_DIR
set -euo pipefail
msi=$(realpath "$1")
version=$2
stage=$(realpath "$3")
here=$(cd "$(dirname "$0")/../.." && pwd)
upgrade_code='{6F1C2B7E-3D1A-4E8B-9C55-2A7F0D4B8E61}'
failures=0
fail() {
    echo "msi-tables.sh: $1" >&2
    failures=$((failures + 1))
}
# A table's rows without the header lines (the code page has two); msiinfo
# converts code page 932 to UTF-8.
table() {
    msiinfo export "$msi" "$1" | tr -d '\0\r' | tail -n "+$([ "$1" = _ForceCodepage ] && echo 3 || echo 4)"
}

# TABLE|ROW as msiinfo prints it (\t between columns), or TABLE|!START for
# a row that must not be there.
while IFS='|' read -r name row; do
    rows=$(table "$name")
    if [ "${row:0:1}" = '!' ]; then
        if grep -qF -- "$(printf '%b' "${row:1}")" <<<"$rows"; then
            fail "$name has a row starting '${row:1}'"
        fi
    elif ! grep -qxF -- "$(printf '%b' "$row")" <<<"$rows"; then
        fail "$name has no row '$row'; it has:"
        sed 's/^/    /' <<<"$rows" >&2
    fi
done <<ROWS
_ForceCodepage|932\t_ForceCodepage
Property|ProductName\tソラニカ
Property|Manufacturer\tソラニカ開発チーム
Property|ProductVersion\t$version
Property|ProductLanguage\t1041
Property|UpgradeCode\t$upgrade_code
Property|MSIINSTALLPERUSER\t1
Property|!ALLUSERS\t
Property|ARPPRODUCTICON\tsoranika.ico
Property|ARPNOMODIFY\t1
Property|ARPNOREPAIR\t1
Directory|UserPrograms\tLocalAppDataFolder\tPrograms
Directory|INSTALLDIR\tUserPrograms\tソラニカ
Shortcut|StartMenuShortcut\tProgramMenuFolder\tソラニカ\tStartMenuShortcut\t[INSTALLDIR]soranika.exe\t\tアルバイトの給料計算\t\tsoranika.ico\t\t\tINSTALLDIR\t\t\t\t
Upgrade|$upgrade_code\t\t$version\t\t1\t\tWIX_UPGRADE_DETECTED
Upgrade|$upgrade_code\t$version\t\t\t2\t\tWIX_DOWNGRADE_DETECTED
LaunchCondition|NOT WIX_DOWNGRADE_DETECTED\tより新しいバージョンのソラニカがすでにインストールされています。古いバージョンをインストールするには、先に「アプリと機能」から今のソラニカをアンインストールしてください。
ROWS

# The summary information, in code page 932: Japanese and 64-bit; word
# count 2 (compressed) + 8 (no elevation needed, so no UAC prompt).
summary=$(msiinfo suminfo "$msi" | iconv -f CP932 -t UTF-8)
for line in "Subject: ソラニカ $version" "Author: ソラニカ開発チーム" "Template: x64;1041" \
    "Source: 10 (a)"; do
    grep -qxF "$line" <<<"$summary" || fail "the summary information has no '$line'"
done

# The File table: one row per staged file, by name and size.
files=$(table File | cut -f3,4 | sort)
staged=$(cd "$stage" && find . -type f -printf '%f\t%s\n' | sort)
[ "$files" = "$staged" ] || fail "the File table is not the staged files:
$(diff <(echo "$staged") <(echo "$files"))"

# The product code: the same for another build of this version, another
# for another version.
product_code() {
    msiinfo export "$1" Property | tr -d '\0\r' | sed -n 's/^ProductCode\t//p'
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$here/packaging/windows/msi.sh" "$stage" "$version" "$work/again.msi"
"$here/packaging/windows/msi.sh" "$stage" 0.0.1 "$work/other.msi"
code=$(product_code "$msi")
[ -n "$code" ] && [ "$(product_code "$work/again.msi")" = "$code" ] ||
    fail "a second build of $version has the product code $(product_code "$work/again.msi"), not '$code'"
[ "$(product_code "$work/other.msi")" != "$code" ] || fail "version 0.0.1 has the product code $code too"

if [ "$failures" -ne 0 ]; then
    echo "msi-tables.sh: $failures failures in $msi" >&2
    exit 1
fi
echo "$(basename "$msi"): code page 932, ソラニカ $version per user, shortcut, upgrade and product codes"
