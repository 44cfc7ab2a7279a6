#!/bin/bash
# `cmake --install` into a prefix (with a space in its path) and the Debian package, put into a
# scratch root by dpkg, each hold exactly the expected files, valid desktop entry, metadata and
# manual page included, and start the game to the menu. The package passes lintian and purges clean.
source "$(dirname "$0")/lib.sh"
e2e_init install
# Paths are compared with what the system reports, which has every link resolved.
WORK=$(cd "$WORK" && pwd -P)
export HOME="$WORK/home"
unset XDG_DATA_HOME
BUILD_DIR=${BUILD_DIR:-$(dirname "$GAMEDATA")}
VERSION=$(sed -n 's/.*GAME_VERSION = "\(.*\)";/\1/p' "$BUILD_DIR/generated/version.h")
[ -n "$VERSION" ] || fail "no version in $BUILD_DIR/generated/version.h"

# same_files LISTING BIN GAME DATA EXTRA...: the listing holds exactly the files of an install
# (folders relative to the prefix).
same_files() {
    local listing=$1 bin=$2 game=$3 data=$4
    shift 4
    printf '%s\n' "$bin/brumzel-ball" "$game/brumzel-ball" "$data/GAMEDATA.DAT" "$data/brumzel-launch" \
        share/applications/brumzel-ball.desktop share/doc/brumzel-ball/copyright \
        share/icons/hicolor/{64x64,128x128,256x256}/apps/brumzel-ball.png \
        share/metainfo/org.brumzelball.BrumzelBall.metainfo.xml "$@" | sort | diff -u - "$listing" >"$WORK/files.diff" ||
        fail "not the expected files: $(grep '^[-+][a-z]' "$WORK/files.diff" | tr '\n' ' ')"
}

# The files around the game under PREFIX, whose command is in BIN: desktop entry, metadata,
# manual page (plain or compressed) and licences.
check_desktop_files() {
    local share=$1/share man desktop="$1/share/applications/brumzel-ball.desktop"
    desktop-file-validate "$desktop" >"$WORK/desktop.log" 2>&1 && [ ! -s "$WORK/desktop.log" ] ||
        fail "desktop-file-validate: $(head -3 "$WORK/desktop.log")"
    [ "$(PATH="$2:$PATH" command -v "$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop" | sort -u)")" = "$2/brumzel-ball" ] ||
        fail "the desktop entry does not start the installed command"
    appstreamcli validate --no-net "$share/metainfo/org.brumzelball.BrumzelBall.metainfo.xml" \
        >"$WORK/appstream.log" 2>&1 || fail "appstreamcli validate: $(grep -v '^$' "$WORK/appstream.log" | head -3)"
    man=$(ls "$share/man/man6/brumzel-ball.6"*)
    zcat -f "$man" | head -1 | grep -q "^\.TH BRUMZEL-BALL 6 \".*\" \"Brumzel Ball $VERSION\"" ||
        fail "the manual page's header is not of section 6 and version $VERSION"
    [ -z "$(zcat -f "$man" | groff -man -Tutf8 -ww -z 2>&1)" ] || fail "the manual page has formatting warnings"
    grep -q '^License: Expat$' "$share/doc/brumzel-ball/copyright" &&
        grep -q '^License: Bitstream-Vera$' "$share/doc/brumzel-ball/copyright" ||
        fail "the copyright file lacks the game's or the fonts' licence"
}

# play_installed GAME DATA PLAYER_FOLDER FROM COMMAND...: started from FROM, the game reaches the
# menu as GAME, running in PLAYER_FOLDER with a link to DATA, and quits with status 0.
play_installed() {
    local game=$1 data=$2 player_folder=$3 from=$4
    shift 4
    start_game "$from" "$@"
    wait_for_menu 60
    [ "$(readlink "/proc/$GAME_PID/exe")" = "$game" ] && [ "$(readlink "/proc/$GAME_PID/cwd")" = "$player_folder" ] &&
        [ "$(readlink -f "$player_folder/GAMEDATA.DAT")" = "$data" ] ||
        fail "the game is not $game in $player_folder with a link to $data"
    quit_through_credits
}

# --- cmake --install into a prefix ---
PREFIX="$WORK/the prefix"
cmake --install "$BUILD_DIR" --prefix "$PREFIX" >"$WORK/install.log" 2>&1 ||
    fail "cmake --install failed: $(tail -3 "$WORK/install.log")"
(cd "$PREFIX" && find . -type f -o -type l | sed 's|^\./||' | sort) >"$WORK/installed.txt"
same_files "$WORK/installed.txt" bin libexec/brumzel-ball share/brumzel-ball share/man/man6/brumzel-ball.6
check_desktop_files "$PREFIX" "$PREFIX/bin"
# Through a link to the command, from a folder holding a broken GAMEDATA.DAT: the launcher runs
# the game in ~/.local/share/brumzel-ball and ignores the folder it was started in.
mkdir -p "$WORK/some folder"
echo "not a data file" >"$WORK/some folder/GAMEDATA.DAT"
ln -s "$PREFIX/bin/brumzel-ball" "$WORK/bb"
play_installed "$PREFIX/libexec/brumzel-ball/brumzel-ball" "$PREFIX/share/brumzel-ball/GAMEDATA.DAT" \
    "$HOME/.local/share/brumzel-ball" "$WORK/some folder" "$WORK/bb"

# --- the Debian package, built by CPack from this build ---
cpack --config "$BUILD_DIR/CPackConfig.cmake" -B "$WORK/package" >"$WORK/cpack.log" 2>&1 ||
    fail "cpack failed: $(tail -3 "$WORK/cpack.log")"
arch=$(dpkg --print-architecture)
deb="$WORK/package/brumzel-ball_${VERSION}_$arch.deb"
[ -f "$deb" ] || fail "no $(basename "$deb") in $(ls "$WORK/package"/*.deb)"
fields=$(dpkg-deb -f "$deb" Package Version Architecture Section | sed 's/^[A-Za-z]*: //' | tr '\n' ' ')
[ "$fields" = "brumzel-ball $VERSION $arch games " ] || fail "the package's control fields are: $fields"
dpkg-deb -f "$deb" Depends | grep -q 'liballegro4\.4 ' || fail "Depends: $(dpkg-deb -f "$deb" Depends)"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print substr($6, 7) }' | sort >"$WORK/packaged.txt"
same_files "$WORK/packaged.txt" games lib/games/brumzel-ball share/games/brumzel-ball \
    share/man/man6/brumzel-ball.6.gz share/doc/brumzel-ball/changelog.gz
lintian --fail-on error "$deb" >"$WORK/lintian.log" 2>&1 || fail "lintian: $(grep '^E:' "$WORK/lintian.log")"
log "lintian: no errors, $(grep -c '^W:' "$WORK/lintian.log") warnings"

# Installed into a scratch root with its own package database; the libraries are the system's.
ROOT="$WORK/root"
mkdir -p "$ROOT/var/lib/dpkg/info" "$ROOT/var/lib/dpkg/updates"
touch "$ROOT/var/lib/dpkg/status"
dpkg_root() { dpkg --root="$ROOT" --force-not-root --force-depends "$@" >>"$WORK/dpkg.log" 2>&1; }
dpkg_root -i "$deb" || fail "dpkg could not install the package: $(tail -3 "$WORK/dpkg.log")"
check_desktop_files "$ROOT/usr" "$ROOT/usr/games"
# Started by name from the PATH with XDG_DATA_HOME set; an old data file in the player's folder
# gives way to the link.
mkdir -p "$WORK/xdg data/brumzel-ball"
echo "an old data file" >"$WORK/xdg data/brumzel-ball/GAMEDATA.DAT"
play_installed "$ROOT/usr/lib/games/brumzel-ball/brumzel-ball" "$ROOT/usr/share/games/brumzel-ball/GAMEDATA.DAT" \
    "$WORK/xdg data/brumzel-ball" / env PATH="$ROOT/usr/games:$PATH" XDG_DATA_HOME="$WORK/xdg data" brumzel-ball
dpkg_root --purge brumzel-ball || fail "dpkg could not purge the package: $(tail -3 "$WORK/dpkg.log")"
left=$(cd "$ROOT" && find . -mindepth 1 ! -path './var*')
[ -z "$left" ] || fail "left behind after the purge: $left"
echo "cmake --install and the $(basename "$deb") package: files, desktop entry, icons, metadata, manual page, licences, game in order"
