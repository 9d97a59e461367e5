#!/usr/bin/env bash
# Builds ソラニカ's Windows Installer package from its WiX source and the
# staging folder that the zip is packed from, with Debian's msitools:
#
#   packaging/windows/msi.sh WXS STAGE_DIR IDENTITY OUT_MSI
#
# WXS is the source with the staged files in it (wxs.cmake), IDENTITY the
# build's soranika-identity.sh (cmake/identity.cmake). The package's product
# code comes from the identity: derived from the upgrade code and the
# version, so that two builds of one version are one product to Windows, and
# a higher version replaces a lower one. The version is major.minor.patch,
# each part within Windows Installer's limits (255.255.65535).
#
# The same source and files make the same bytes: the cabinet's file times,
# the summary information's times and the package code come from the
# commit's time (SOURCE_DATE_EPOCH of the identity) and the contents, not
# from the clock.
#
# wixl writes the tables' strings in a code page it guesses from the locale,
# not the one the source asks for, and loses every Japanese character on the
# way without a word; it also ignores attributes it does not know with no
# more than a warning. So: anything wixl prints fails the build, and the
# database's code page is set to 932 (Japanese) afterwards, the Japanese
# text written into it then, along with the summary information that wixl
# gets wrong.
set -euo pipefail
if [ $# -ne 4 ]; then
    echo "usage: msi.sh WXS STAGE_DIR IDENTITY OUT_MSI" >&2
    exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
wxs=$(realpath "$1")
stage=$(realpath "$2")
# shellcheck source=/dev/null
. "$3"
out=$(realpath -m "$4")
version=$soranika_version
[ -f "$stage/soranika.exe" ] || { echo "msi.sh: no soranika.exe in $stage" >&2; exit 1; }
if ! [[ $version =~ ^([0-9]+)\.([0-9]+)\.([0-9]+)$ ]] || [ "${BASH_REMATCH[1]}" -gt 255 ] ||
    [ "${BASH_REMATCH[2]}" -gt 255 ] || [ "${BASH_REMATCH[3]}" -gt 65535 ]; then
    echo "msi.sh: '$version' is not a Windows Installer version (255.255.65535 at most)" >&2
    exit 1
fi

# A name-based UUID (version 5 layout) from the upgrade code and NAME, as
# cmake/name-uuid.cmake makes them.
uuid_for() {
    local h
    h=$(printf '%s/%s' "$soranika_upgrade_code" "$1" | sha1sum | cut -c1-32 | tr a-f A-F)
    printf '%s-%s-5%s-%X%s-%s\n' "${h:0:8}" "${h:8:4}" "${h:13:3}" \
        $(((16#${h:16:1} & 3) | 8)) "${h:17:3}" "${h:20:12}"
}
# The tools that write times run at the commit's time, on a clock that
# stands still: a clock that starts there and runs on gives a second more
# to a run that happens to cross a second.
at_commit() {
    TZ=UTC faketime -f "$(date -u -d "@$soranika_source_date_epoch" '+%Y-%m-%d %H:%M:%S')" "$@"
}

work=$(mktemp -d)
trap '[ -n "${SORANIKA_MSI_KEEP:-}" ] || rm -rf "$work"' EXIT
cp "$wxs" "$work/soranika.wxs"

# wixl loses Japanese text: the source goes to it with every run of
# non-ASCII text replaced by a token (_JA1_, _JA2_, ...), and the tokens are
# put back into the tables once the database has its code page.
#
# wixl orders the rows of a sequence with custom actions in it differently
# from run to run, and writes such an action at the wrong place: the source's
# <Custom Action="A" Before="B">condition</Custom> entries are taken out of
# what wixl reads, listed in custom.txt (sequence, action, before, condition)
# and put into their sequences afterwards.
perl -e '
    open(my $map, ">", $ARGV[0]) or die;
    open(my $custom, ">", $ARGV[1]) or die;
    my (%token, $sequence);
    my %xml = (lt => "<", gt => ">", amp => "&", quot => "\"", apos => "\x27");
    while (<STDIN>) {
        $sequence = $1 if m{<(Install(?:UI|Execute)Sequence)>};
        undef $sequence if m{</Install(?:UI|Execute)Sequence>};
        if (m{<Custom\b}) {
            m{^\s*<Custom Action="([^"]+)" Before="([^"]+)">([^<]*)</Custom>\s*$} && defined $sequence
                or die "msi.sh: a custom action is scheduled only as <Custom Action=\"A\" Before=\"B\">condition</Custom> on one line of a sequence: $_";
            my ($action, $before, $condition) = ($1, $2, $3);
            $condition =~ s{&(\w+);}{$xml{$1} // die "msi.sh: unknown entity &$1;"}ge;
            print $custom "$sequence\t$action\t$before\t$condition\n";
            next;
        }
        s{([\x80-\xff]+)}{$token{$1} //= do { my $t = "_JA" . (keys(%token) + 1) . "_";
            print $map "$t\t$1\n"; $t }}ge;
        print;
    }' "$work/tokens.txt" "$work/custom.txt" <"$work/soranika.wxs" >"$work/ascii.wxs"

# wixl takes the files by paths relative to the source, from a copy dated at
# the commit, the times that the cabinet keeps.
cp -r "$stage" "$work/stage"
find "$work/stage" -exec touch -h -d "@$soranika_source_date_epoch" {} +
cp "$here/../icons/soranika.ico" "$work/"
# wixl: any message is a failure, since it warns of what it leaves out.
if ! (cd "$work" && LC_ALL=C.UTF-8 at_commit wixl -a x64 -o soranika.msi ascii.wxs) >"$work/wixl.log" 2>&1 ||
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
at_commit msibuild "$msi" -i "$work/idt/_ForceCodepage.idt"
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
    (cd "$work/idt" && at_commit msibuild "$msi" -i "$table.idt")
done
# wixl writes a custom action that sets a property (type 51) as one run in
# the install script (+2048), too late to set a folder: it is written as the
# source says. The scheduled custom actions go into their sequences just
# before the action named, in the order of the source.
(cd "$work/idt" && msiinfo export "$msi" CustomAction >CustomAction.idt)
if awk -F'\t' 'NR > 3 && $2 == 2099 { found = 1 } END { exit !found }' "$work/idt/CustomAction.idt"; then
    awk -F'\t' -v OFS='\t' 'NR > 3 && $2 == 2099 { $2 = 51 } { print }' "$work/idt/CustomAction.idt" \
        >"$work/idt/CustomAction.new"
    mv "$work/idt/CustomAction.new" "$work/idt/CustomAction.idt"
    (cd "$work/idt" && at_commit msibuild "$msi" -i CustomAction.idt)
fi
while IFS=$'\t' read -r sequence action before condition; do
    (cd "$work/idt" && msiinfo export "$msi" "$sequence" >"$sequence.idt")
    awk -F'\t' -v OFS='\t' -v action="$action" -v before="$before" -v condition="$condition" '
        { sub(/\r$/, ""); print $0 "\r" }
        NR > 3 { taken[$3] = 1 }
        NR > 3 && $1 == before { at = $3 - 1 }
        END {
            if (at == "" || at < 1 || (at in taken)) {
                printf "msi.sh: no free place for %s before %s\n", action, before > "/dev/stderr"
                exit 1
            }
            print action, condition, at "\r"
        }' "$work/idt/$sequence.idt" >"$work/idt/$sequence.new"
    mv "$work/idt/$sequence.new" "$work/idt/$sequence.idt"
    (cd "$work/idt" && at_commit msibuild "$msi" -i "$sequence.idt")
done <"$work/custom.txt"
if ! msiinfo export "$msi" _ForceCodepage | tr -d '\0' | grep -q $'^932\t' ||
    msiinfo export "$msi" Property | grep -q '_JA[0-9]*_'; then
    echo "msi.sh: could not write the Japanese text into $msi" >&2
    exit 1
fi

# The summary information: Japanese, 64-bit, and a package code of its own
# for every different content.
package_code=$(cat "$work/soranika.wxs" <(cd "$stage" && find . -type f -print0 | LC_ALL=C sort -z |
    xargs -0 sha256sum) | sha256sum | cut -c1-40)
# Its strings go in as they are, so in the code page that the summary
# information declares (932, from the source).
at_commit msibuild "$msi" -s "$(printf 'ソラニカ %s' "$version" | iconv -t CP932)" \
    "$(printf '%s' "$soranika_publisher" | iconv -t CP932)" "x64;1041" \
    "{$(uuid_for "package/$package_code")}"
cp "$msi" "$out"
