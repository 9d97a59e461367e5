#!/usr/bin/env bash
# Builds ソラニカ's Windows Installer package from a staging folder, the one
# the zip is packed from, with Debian's msitools:
#
#   packaging/windows/msi.sh STAGE_DIR VERSION OUT_MSI
#
# The package installs per user, without administrator rights, into
# %LOCALAPPDATA%\Programs\ソラニカ, with a Start-menu shortcut ソラニカ and an
# entry in Apps & features. Its upgrade code is fixed; its product code is
# derived from the upgrade code and VERSION, so that two builds of one
# version are one product to Windows, and a higher VERSION replaces a lower
# one. VERSION is major.minor.patch, each part within Windows Installer's
# limits (255.255.65535).
#
# wixl writes the tables' strings in a code page it guesses from the locale,
# not the one the source asks for, and loses every Japanese character on the
# way without a word; it also ignores attributes it does not know with no
# more than a warning. So: anything wixl prints fails the build, and the
# database's code page is set to 932 (Japanese) afterwards, the Japanese
# text written into it then, along with the summary information that wixl
# gets wrong.
set -euo pipefail
if [ $# -ne 3 ]; then
    echo "usage: msi.sh STAGE_DIR VERSION OUT_MSI" >&2
    exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
stage=$(realpath "$1")
version=$2
out=$(realpath -m "$3")
[ -f "$stage/soranika.exe" ] || { echo "msi.sh: no soranika.exe in $stage" >&2; exit 1; }
if ! [[ $version =~ ^([0-9]+)\.([0-9]+)\.([0-9]+)$ ]] || [ "${BASH_REMATCH[1]}" -gt 255 ] ||
    [ "${BASH_REMATCH[2]}" -gt 255 ] || [ "${BASH_REMATCH[3]}" -gt 65535 ]; then
    echo "msi.sh: '$version' is not a Windows Installer version (255.255.65535 at most)" >&2
    exit 1
fi

# Never to change: Windows knows every version of ソラニカ by it.
upgrade_code=6F1C2B7E-3D1A-4E8B-9C55-2A7F0D4B8E61
manufacturer=ソラニカ開発チーム

# A name-based UUID (version 5 layout) from the upgrade code and NAME.
uuid_for() {
    local h
    h=$(printf '%s/%s' "$upgrade_code" "$1" | sha1sum | cut -c1-32 | tr a-f A-F)
    printf '%s-%s-5%s-%X%s-%s\n' "${h:0:8}" "${h:8:4}" "${h:13:3}" \
        $(((16#${h:16:1} & 3) | 8)) "${h:17:3}" "${h:20:12}"
}
# An identifier for the tables from a path inside the stage.
id_for() {
    printf '%s_%s\n' "$1" "$(printf '%s' "$2" | tr -c 'A-Za-z0-9_.' _)"
}
xml_escape() {
    sed 's/&/\&amp;/g; s/</\&lt;/g; s/>/\&gt;/g; s/"/\&quot;/g' <<<"$1"
}

work=$(mktemp -d)
trap '[ -n "${SORANIKA_MSI_KEEP:-}" ] || rm -rf "$work"' EXIT

# One component per file, keyed by the file; one directory per folder.
refs=()
emit_folder() { # RELATIVE-FOLDER INDENT
    local dir=$1 pad=$2 entry rel name
    while IFS= read -r -d '' entry; do
        rel=${entry#"$stage"/}
        name=$(xml_escape "$(basename "$entry")")
        if [ -d "$entry" ]; then
            echo "$pad<Directory Id=\"$(id_for D "$rel")\" Name=\"$name\">"
            emit_folder "$rel" "$pad  "
            echo "$pad</Directory>"
        else
            echo "$pad<Component Id=\"$(id_for C "$rel")\" Guid=\"$(uuid_for "file/$rel")\">"
            echo "$pad  <File Id=\"$(id_for F "$rel")\" Name=\"$name\" KeyPath=\"yes\"" \
                "Source=\"stage/$(xml_escape "$rel")\"/>"
            echo "$pad</Component>"
            refs+=("$(id_for C "$rel")")
        fi
    done < <(find "$stage/${dir:+$dir/}" -mindepth 1 -maxdepth 1 -print0 | sort -z)
}
emit_folder "" "            " >"$work/files.xml"
for ref in "${refs[@]}"; do
    echo "      <ComponentRef Id=\"$ref\"/>"
done >"$work/refs.xml"

sed -e "s|@PRODUCT_CODE@|$(uuid_for "product/$version")|" \
    -e "s|@UPGRADE_CODE@|$upgrade_code|" \
    -e "s|@SHORTCUT_GUID@|$(uuid_for shortcut)|" \
    -e "s|@VERSION@|$version|g" \
    -e "s|@MANUFACTURER@|$manufacturer|g" \
    -e "s|@ICON@|soranika.ico|" \
    -e "/^FILES$/{r $work/files.xml" -e 'd}' \
    -e "/^COMPONENT_REFS$/{r $work/refs.xml" -e 'd}' \
    "$here/soranika.wxs.in" >"$work/soranika.wxs"

# wixl loses Japanese text: the source goes to it with every run of
# non-ASCII text replaced by a token (_JA1_, _JA2_, ...), and the tokens are
# put back into the tables once the database has its code page.
perl -e '
    open(my $map, ">", $ARGV[0]) or die;
    my %token;
    while (<STDIN>) {
        s{([\x80-\xff]+)}{$token{$1} //= do { my $t = "_JA" . (keys(%token) + 1) . "_";
            print $map "$t\t$1\n"; $t }}ge;
        print;
    }' "$work/tokens.txt" <"$work/soranika.wxs" >"$work/ascii.wxs"

# wixl takes the files by paths relative to the source.
ln -s "$stage" "$work/stage"
cp "$here/../icons/soranika.ico" "$work/"
# wixl: any message is a failure, since it warns of what it leaves out.
if ! (cd "$work" && LC_ALL=C.UTF-8 wixl -a x64 -o soranika.msi ascii.wxs) >"$work/wixl.log" 2>&1 ||
    [ -s "$work/wixl.log" ]; then
    cat "$work/wixl.log" >&2
    echo "msi.sh: wixl failed or warned on $work/ascii.wxs" >&2
    trap - EXIT
    exit 1
fi
msi=$work/soranika.msi

# msibuild converts what it is given from the locale's charset, UTF-8,
# into the database's code page, 932 once it is forced.
export LC_ALL=C.UTF-8
mkdir "$work/idt"
printf '\r\n\r\n932\t_ForceCodepage\r\n' >"$work/idt/_ForceCodepage.idt"
msibuild "$msi" -i "$work/idt/_ForceCodepage.idt"
for table in $(msiinfo tables "$msi"); do
    case "$table" in _*) continue ;; esac
    (cd "$work/idt" && msiinfo export "$msi" "$table" >"$table.idt")
    grep -q '_JA[0-9]*_' "$work/idt/$table.idt" || continue
    perl -e '
        open(my $map, "<", $ARGV[0]) or die;
        my %text = map { chomp; split /\t/ } <$map>;
        while (<STDIN>) { s{(_JA[0-9]+_)}{$text{$1} // die "unknown $1"}ge; print }' \
        "$work/tokens.txt" <"$work/idt/$table.idt" >"$work/idt/$table.new"
    mv "$work/idt/$table.new" "$work/idt/$table.idt"
    (cd "$work/idt" && msibuild "$msi" -i "$table.idt")
done
if ! msiinfo export "$msi" _ForceCodepage | tr -d '\0' | grep -q $'^932\t' ||
    msiinfo export "$msi" Property | grep -q '_JA[0-9]*_'; then
    echo "msi.sh: could not write the Japanese text into $msi" >&2
    exit 1
fi

# The summary information: Japanese, 64-bit, and a package code of its own
# for every different content.
package_code=$(cat "$work/soranika.wxs" <(cd "$stage" && find . -type f -print0 | sort -z |
    xargs -0 sha256sum) | sha256sum | cut -c1-40)
# Its strings go in as they are, so in the code page that the summary
# information declares (932, from the source).
msibuild "$msi" -s "$(printf 'ソラニカ %s' "$version" | iconv -t CP932)" \
    "$(printf '%s' "$manufacturer" | iconv -t CP932)" "x64;1041" \
    "{$(uuid_for "package/$package_code")}"
cp "$msi" "$out"
