# The steps that the Windows packages' tests under Wine share, sourced by
# msi-install.sh, msi-start.sh and msi-sign.sh. The sourcing script sets
# $wine_run (the build's wine-run) and $prepared (the prepared prefix, made
# here when missing; it is copied, never changed).

# A path of this machine as Wine names it.
windows_path() {
    echo "Z:$(sed 's|/|\\|g' <<<"$1")"
}

# fresh_prefix DIR: a fresh copy of the prepared prefix in DIR, as $pfx,
# and where ソラニカ goes in it: $user (the Windows user), per user
# $user_folder and $user_shortcut, for all users $machine_folder and
# $machine_shortcut.
fresh_prefix() {
    [ -f "$prepared/.soranika-ready" ] || "$wine_run" "$prepared" cmd.exe /c exit
    pfx=$1
    rm -rf "$pfx"
    cp -a "$prepared" "$pfx"
    local user_dir
    user_dir=$(find "$pfx/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n 1)
    user=$(basename "$user_dir")
    user_folder=$user_dir/AppData/Local/Programs/ソラニカ
    user_shortcut="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/ソラニカ.lnk"
    machine_folder="$pfx/drive_c/Program Files/ソラニカ"
    machine_shortcut="$pfx/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/ソラニカ.lnk"
}

# A command in the fresh prefix.
in_wine() {
    "$wine_run" "$pfx" "$@"
}

# make_msi STAGE TEMPLATE IDENTITY OUT: a .msi of other files or another
# version, made as the Windows build makes its own (packaging/windows).
make_msi() {
    local here
    here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
    (
        # shellcheck source=/dev/null
        . "$3"
        cmake -DSTAGE="$1" -DTEMPLATE="$2" -DUPGRADE_CODE="$soranika_upgrade_code" \
            -DOUT="$4.wxs" -P "$here/packaging/windows/wxs.cmake"
    )
    "$here/packaging/windows/msi.sh" "$4.wxs" "$1" "$3" "$4"
}
