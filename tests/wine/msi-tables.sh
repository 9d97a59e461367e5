#!/usr/bin/env bash
# Reads ソラニカ's .msi with msiinfo, without Wine, and checks what Windows
# decides from the tables alone: the Japanese code page and names, the
# version, the identity of the build (its upgrade and product codes, the
# publisher, contact and help link), a per-user install by default that asks
# for no elevation (Wine runs everything as administrator, so only the
# tables can show this) and a per-machine one with ALLUSERS=1, the
# Start-menu shortcut, Apps & features without modify or repair, a refused
# downgrade with a Japanese message, and the Windows Installer's validation
# rules (ICE) that apply to such a package, as their documentation states
# them.
#   msi-tables.sh MSI STAGE_DIR IDENTITY
# IDENTITY is the Windows build's soranika-identity.sh.
set -euo pipefail
msi=$(realpath "$1")
stage=$(realpath "$2")
# shellcheck source=/dev/null
. "$3"
version=$soranika_version
upgrade_code="{$soranika_upgrade_code}"
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
Property|Manufacturer\t$soranika_publisher
Property|ProductVersion\t$version
Property|ProductLanguage\t1041
Property|ProductCode\t{$soranika_product_code}
Property|UpgradeCode\t$upgrade_code
Property|MSIINSTALLPERUSER\t1
Property|!ALLUSERS\t
Property|ARPPRODUCTICON\tsoranika.ico
Property|ARPNOMODIFY\t1
Property|ARPNOREPAIR\t1
Property|ARPCONTACT\t$soranika_contact
Property|ARPHELPLINK\t$soranika_help_url
Directory|INSTALLDIR\tProgramFiles64Folder\tソラニカ
CustomAction|SoranikaPerUserFolder\t51\tINSTALLDIR\t[LocalAppDataFolder]Programs\\\\ソラニカ\\\\\t
Shortcut|StartMenuShortcut\tProgramMenuFolder\tソラニカ\tStartMenuShortcut\t[INSTALLDIR]soranika.exe\t\tアルバイトの給料計算\t\tsoranika.ico\t\t\tINSTALLDIR\t\t\t\t
Upgrade|$upgrade_code\t\t$version\t\t1\t\tWIX_UPGRADE_DETECTED
Upgrade|$upgrade_code\t$version\t\t\t2\t\tWIX_DOWNGRADE_DETECTED
LaunchCondition|NOT WIX_DOWNGRADE_DETECTED\tより新しいバージョンのソラニカがすでにインストールされています。古いバージョンをインストールするには、先に「アプリと機能」から今のソラニカをアンインストールしてください。
ROWS

# The per-user folder is set before the folders are resolved, in both
# sequences, unless ALLUSERS is 1.
for sequence in InstallExecuteSequence InstallUISequence; do
    table "$sequence" | awk -F'\t' '
        $1 == "SoranikaPerUserFolder" && $2 == "ALLUSERS<>1" { at = $3 }
        $1 == "CostFinalize" { cost = $3 }
        END { exit !(at > 0 && at < cost) }' ||
        fail "$sequence does not set the per-user folder before CostFinalize"
done

# The summary information, in code page 932: Japanese and 64-bit; word
# count 2 (compressed) + 8 (no elevation needed, so no UAC prompt).
summary=$(msiinfo suminfo "$msi" | iconv -f CP932 -t UTF-8)
for line in "Subject: ソラニカ $version" "Author: $soranika_publisher" "Template: x64;1041" \
    "Source: 10 (a)"; do
    grep -qxF "$line" <<<"$summary" || fail "the summary information has no '$line'"
done

# The File table: one row per staged file, by name and size.
files=$(table File | cut -f3,4 | sort)
staged=$(cd "$stage" && find . -type f -printf '%f\t%s\n' | sort)
[ "$files" = "$staged" ] || fail "the File table is not the staged files:
$(diff <(echo "$staged") <(echo "$files"))"

# --- The Windows Installer's validation rules --------------------------------
# Folders of the user's profile (ICE38, ICE64), and those of them that stay
# the user's whatever ALLUSERS says (ICE91).
profile=" AppDataFolder DesktopFolder FavoritesFolder LocalAppDataFolder MyPicturesFolder NetHoodFolder PersonalFolder PrintHoodFolder ProgramMenuFolder RecentFolder SendToFolder StartMenuFolder StartupFolder TemplateFolder "
per_user_only=" AppDataFolder FavoritesFolder LocalAppDataFolder MyPicturesFolder NetHoodFolder PersonalFolder PrintHoodFolder RecentFolder SendToFolder TemplateFolder "
declare -A parent
while IFS=$'\037' read -r dir up _; do parent[$dir]=$up; done < <(table Directory | tr '\t' '\037')
# The profile folder DIR lies in, or nothing; ONLY: of those of ICE91.
in_profile() { # DIR [ONLY]
    local dir=$1 folders=${2:-$profile}
    while [ -n "$dir" ]; do
        if [[ $folders == *" $dir "* ]]; then
            echo "$dir"
            return
        fi
        dir=${parent[$dir]:-}
    done
}
# The rows of a table, its columns separated by \x1f, which read keeps
# when a column is empty (a tab it would not).
rows() {
    table "$1" | tr '\t' '\037'
}
declare -A hkcu_value per_user_data per_machine_data
while IFS=$'\037' read -r reg root _key _name _value component; do
    if [ "$root" = 1 ]; then
        hkcu_value[$reg]=$component
        per_user_data[$component]=1
    elif [ "$root" = 2 ] || [ "$root" = -1 ]; then
        per_machine_data[$component]=1
    fi
done < <(rows Registry)
declare -A has_shortcut has_file component_dir component_keypath
while IFS=$'\037' read -r component _id dir _attributes _condition keypath; do
    component_dir[$component]=$dir
    component_keypath[$component]=$keypath
done < <(rows Component)
while IFS=$'\037' read -r _file component _; do has_file[$component]=1; done < <(rows File)
while IFS=$'\037' read -r _shortcut dir _name component target _; do
    # A target in brackets is a path: the shortcut is not advertised.
    [ "${target:0:1}" = '[' ] && has_shortcut[$component]=1
    [ -n "$(in_profile "$dir")" ] && per_user_data[$component]=1
done < <(rows Shortcut)
keyed_by_hkcu() { # COMPONENT
    local key=${component_keypath[$1]}
    [ -n "$key" ] && [ "${hkcu_value[$key]:-}" = "$1" ]
}
declare -A removed
if msiinfo tables "$msi" | grep -qx RemoveFile; then
    while IFS=$'\037' read -r _key _component name dir _mode; do
        [ -z "$name" ] && removed[$dir]=1
    done < <(rows RemoveFile)
fi

for component in "${!component_dir[@]}"; do
    dir=${component_dir[$component]}
    # ICE38: a component in the user's profile has a value under HKCU as its
    # key path, not a file.
    if [ -n "$(in_profile "$dir")" ] && ! keyed_by_hkcu "$component"; then
        fail "ICE38: $component is installed into the profile ($dir) but not keyed by a value under HKCU"
    fi
    # ICE43: a component with a non-advertised shortcut has a value under
    # HKCU as its key path.
    if [ -n "${has_shortcut[$component]:-}" ] && ! keyed_by_hkcu "$component"; then
        fail "ICE43: $component has a non-advertised shortcut but is not keyed by a value under HKCU"
    fi
    # ICE57: no component mixes data of the user and of the machine.
    [ -n "${has_file[$component]:-}" ] && if [ -n "$(in_profile "$dir")" ]; then
        per_user_data[$component]=1
    else
        per_machine_data[$component]=1
    fi
    if [ -n "${per_user_data[$component]:-}" ] && [ -n "${per_machine_data[$component]:-}" ]; then
        fail "ICE57: $component has both per-user and per-machine data"
    fi
    # ICE91: no file goes into a folder that is the user's whatever ALLUSERS
    # says, since ALLUSERS=1 makes this a per-machine install.
    if [ -n "${has_file[$component]:-}" ] && only=$(in_profile "$dir" "$per_user_only") && [ -n "$only" ]; then
        fail "ICE91: $component installs files into $only, which does not follow ALLUSERS"
    fi
done
# ICE64: every folder that the package makes in the user's profile is
# removed again (a RemoveFile row without a file name).
for dir in "${!parent[@]}"; do
    [[ $profile == *" $dir "* ]] && continue
    if [ -n "$(in_profile "$dir")" ] && [ -z "${removed[$dir]:-}" ]; then
        fail "ICE64: the profile folder $dir is not in the RemoveFile table"
    fi
done

if [ "$failures" -ne 0 ]; then
    echo "msi-tables.sh: $failures failures in $msi" >&2
    exit 1
fi
echo "$(basename "$msi"): code page 932, ソラニカ $version per user or per machine, shortcut," \
    "upgrade and product codes; ICE38, ICE43, ICE57, ICE64 and ICE91 hold"
