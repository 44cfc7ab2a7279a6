#!/bin/bash
# `cmake --install` into a fresh prefix (with a space in its path) and the Debian package, put
# into a scratch root by dpkg, each hold exactly the expected files -- the command, the game, its
# data, a valid desktop entry, icons, metadata, manual page and licences of the build's version --
# and start the game to the menu. The package passes lintian and leaves nothing when purged.
source "$(dirname "$0")/lib.sh"
e2e_init install
# Paths are compared with what the system reports, which has every link resolved.
WORK=$(cd "$WORK" && pwd -P)
export HOME="$WORK/home"
unset XDG_DATA_HOME
BUILD_DIR=${BUILD_DIR:-$(dirname "$GAMEDATA")}
[ -f "$BUILD_DIR/CPackConfig.cmake" ] || fail "no build tree at $BUILD_DIR"
VERSION=$(sed -n 's/.*GAME_VERSION = "\(.*\)";/\1/p' "$BUILD_DIR/generated/version.h")
[ -n "$VERSION" ] || fail "no version in $BUILD_DIR/generated/version.h"

# The files of an install: expected_files BIN GAME DATA EXTRA... (folders relative to the prefix).
expected_files() {
    local bin=$1 game=$2 data=$3
    shift 3
    printf '%s\n' "$bin/brumzel-ball" "$game/brumzel-ball" "$data/GAMEDATA.DAT" "$data/brumzel-launch" \
        share/applications/brumzel-ball.desktop share/doc/brumzel-ball/copyright \
        share/icons/hicolor/{64x64,128x128,256x256}/apps/brumzel-ball.png \
        share/metainfo/org.brumzelball.BrumzelBall.metainfo.xml "$@" | sort
}

# The files around the game under PREFIX, whose commands are in BIN: desktop entry, icons,
# metadata, manual page (plain or compressed) and licences.
check_desktop_files() {
    local share=$1/share bin=$2 meta man size png exec_cmd desktop="$1/share/applications/brumzel-ball.desktop"
    desktop-file-validate "$desktop" >"$WORK/desktop.log" 2>&1 && [ ! -s "$WORK/desktop.log" ] ||
        fail "desktop-file-validate: $(head -3 "$WORK/desktop.log")"
    # The entry and each of its actions start the installed command.
    for exec_cmd in $(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop"); do
        [ "$(PATH="$bin:$PATH" command -v "$exec_cmd")" = "$bin/brumzel-ball" ] ||
            fail "the desktop entry's Exec=$exec_cmd is not the installed command"
    done
    for size in 64 128 256; do
        png="$share/icons/hicolor/${size}x${size}/apps/$(sed -n 's/^Icon=//p' "$desktop").png"
        # A round logo: transparent corners, an opaque middle.
        [ "$(convert "$png" -format '%m %wx%h %[fx:int(255*p{0,0}.a)] %[fx:int(255*p{w/2,h/2}.a)]' info:)" = \
            "PNG ${size}x$size 0 255" ] || fail "the ${size}px icon $png is not the round logo"
    done
    meta="$share/metainfo/org.brumzelball.BrumzelBall.metainfo.xml"
    appstreamcli validate --no-net "$meta" >"$WORK/appstream.log" 2>&1 ||
        fail "appstreamcli validate: $(grep -v '^$' "$WORK/appstream.log" | head -3)"
    grep -q "<release version=\"$VERSION\"" "$meta" && grep -q '<project_license>MIT<' "$meta" ||
        fail "the metadata does not give release $VERSION under the MIT licence"
    man=$(ls "$share/man/man6/brumzel-ball.6"*)
    zcat -f "$man" | head -1 | grep -q "^\.TH BRUMZEL-BALL 6 \".*\" \"Brumzel Ball $VERSION\"" ||
        fail "the manual page's header is not of section 6 and version $VERSION"
    warnings=$(zcat -f "$man" | groff -man -Tutf8 -ww -z 2>&1)
    [ -z "$warnings" ] || fail "the manual page has formatting warnings: $warnings"
    grep -q '^License: Expat$' "$share/doc/brumzel-ball/copyright" &&
        grep -q '^License: Bitstream-Vera$' "$share/doc/brumzel-ball/copyright" ||
        fail "the copyright file lacks the game's or the fonts' licence"
}

# Starts COMMAND... from FOLDER, waits for the menu, checks that the running game is GAME in
# PLAYER_FOLDER with a link to DATA, and quits through the credits with status 0.
play_installed() {
    local game=$1 data=$2 player_folder=$3 from=$4
    shift 4
    start_game "$from" "$@"
    wait_for_menu 60
    [ "$(readlink "/proc/$GAME_PID/exe")" = "$game" ] ||
        fail "the running game is $(readlink "/proc/$GAME_PID/exe"), not $game"
    [ "$(readlink "/proc/$GAME_PID/cwd")" = "$player_folder" ] ||
        fail "the game runs in $(readlink "/proc/$GAME_PID/cwd"), not in $player_folder"
    [ "$(readlink -f "$player_folder/GAMEDATA.DAT")" = "$data" ] ||
        fail "$player_folder/GAMEDATA.DAT does not lead to $data"
    click_at 696 264
    wait_until credits 30 colour_above "rgb(255,64,64)" 200x50+300+100 200
    sleep 1
    click_at 706 503
    wait_exit 30
    [ "$EXIT_STATUS" = 0 ] || fail "exit status $EXIT_STATUS after the credits"
}

# --- cmake --install into a prefix ---
PREFIX="$WORK/the prefix"
log "installing into $PREFIX"
cmake --install "$BUILD_DIR" --prefix "$PREFIX" >"$WORK/install.log" 2>&1 ||
    fail "cmake --install failed: $(tail -3 "$WORK/install.log")"
(cd "$PREFIX" && find . -type f -o -type l | sed 's|^\./||' | sort) >"$WORK/installed.txt"
expected_files bin libexec/brumzel-ball share/brumzel-ball share/man/man6/brumzel-ball.6 >"$WORK/expected.txt"
diff -u "$WORK/expected.txt" "$WORK/installed.txt" >"$WORK/files.diff" ||
    fail "the installed files are not the expected ones: $(grep '^[-+][a-z]' "$WORK/files.diff" | tr '\n' ' ')"
cmp -s "$PREFIX/share/brumzel-ball/GAMEDATA.DAT" "$GAMEDATA" || fail "the installed data file differs"
cmp -s "$PREFIX/share/brumzel-ball/brumzel-launch" "$(dirname "$0")/../../scripts/brumzel-launch" ||
    fail "the installed launcher is not the one make play uses"
check_desktop_files "$PREFIX" "$PREFIX/bin"

# The launcher's choice of folder, with a stand-in game that reports where it runs: started from
# FROM with XDG_DATA_HOME unset or set, it runs in the player's FOLDER.
launch="$PREFIX/share/brumzel-ball/brumzel-launch"
data="$PREFIX/share/brumzel-ball/GAMEDATA.DAT"
printf '#!/bin/sh\necho "$(pwd -P) $(readlink GAMEDATA.DAT)"\n' >"$WORK/stand-in"
chmod +x "$WORK/stand-in"
mkdir -p "$WORK/a folder/deeper"
while IFS='|' read -r from xdg folder; do
    got=$(cd "$from" && env ${xdg:+"XDG_DATA_HOME=$xdg"} "$launch" "$WORK/stand-in" "$data" 2>&1)
    [ "$got" = "$folder $data" ] || fail "launched from $from with XDG_DATA_HOME=$xdg: $got"
done <<TABLE
/||$HOME/.local/share/brumzel-ball
/|$WORK/a folder|$WORK/a folder/brumzel-ball
$WORK/a folder/deeper|relative|$HOME/.local/share/brumzel-ball
TABLE
[ ! -e "$WORK/a folder/deeper/relative" ] || fail "a relative XDG_DATA_HOME made a folder"
# Relative paths to the game and its data are taken from where the launcher starts.
got=$(cd "$WORK" && "$launch" ./stand-in "the prefix/share/brumzel-ball/GAMEDATA.DAT" 2>&1)
[ "$got" = "$HOME/.local/share/brumzel-ball $data" ] || fail "with relative paths the launcher ran: $got"
if got=$("$launch" "$WORK/stand-in" "$WORK/nowhere.DAT" 2>&1) || ! grep -q nowhere.DAT <<<"$got"; then
    fail "a missing data file is not reported, or the game started: $got"
fi

# The game through a link to the command, from a folder holding a broken GAMEDATA.DAT: it runs in
# ~/.local/share/brumzel-ball and ignores the folder it was started in.
mkdir -p "$WORK/some folder"
echo "not a data file" >"$WORK/some folder/GAMEDATA.DAT"
ln -s "$PREFIX/bin/brumzel-ball" "$WORK/bb"
play_installed "$PREFIX/libexec/brumzel-ball/brumzel-ball" "$data" "$HOME/.local/share/brumzel-ball" \
    "$WORK/some folder" "$WORK/bb"

# --- the Debian package, built by CPack from this build ---
log "building the package"
cpack --config "$BUILD_DIR/CPackConfig.cmake" -B "$WORK/package" >"$WORK/cpack.log" 2>&1 ||
    fail "cpack failed: $(tail -3 "$WORK/cpack.log")"
arch=$(dpkg --print-architecture)
deb="$WORK/package/brumzel-ball_${VERSION}_$arch.deb"
[ -f "$deb" ] || fail "no $(basename "$deb") in $(ls "$WORK/package"/*.deb)"
fields=$(dpkg-deb -f "$deb" Package Version Architecture Section | sed 's/^[A-Za-z]*: //' | tr '\n' ' ')
[ "$fields" = "brumzel-ball $VERSION $arch games " ] || fail "the package's control fields are: $fields"
dpkg-deb -f "$deb" Depends | grep -q 'liballegro4\.4 ' || fail "Depends: $(dpkg-deb -f "$deb" Depends)"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print substr($6, 7) }' | sort >"$WORK/packaged.txt"
expected_files games lib/games/brumzel-ball share/games/brumzel-ball share/man/man6/brumzel-ball.6.gz \
    share/doc/brumzel-ball/changelog.gz >"$WORK/expected.txt"
diff -u "$WORK/expected.txt" "$WORK/packaged.txt" >"$WORK/files.diff" ||
    fail "the package's files are not the expected ones: $(grep '^[-+][a-z]' "$WORK/files.diff" | tr '\n' ' ')"
lintian --fail-on error "$deb" >"$WORK/lintian.log" 2>&1 || fail "lintian: $(grep '^E:' "$WORK/lintian.log")"
log "lintian: no errors, $(grep -c '^W:' "$WORK/lintian.log") warnings"

# Installed into a scratch root with its own package database; the libraries are the system's.
ROOT="$WORK/root"
mkdir -p "$ROOT/var/lib/dpkg/info" "$ROOT/var/lib/dpkg/updates"
touch "$ROOT/var/lib/dpkg/status"
dpkg_root() { dpkg --root="$ROOT" --force-not-root --force-depends "$@" >>"$WORK/dpkg.log" 2>&1; }
dpkg_root -i "$deb" || fail "dpkg could not install the package: $(tail -3 "$WORK/dpkg.log")"
check_desktop_files "$ROOT/usr" "$ROOT/usr/games"
# Started by name from the PATH with XDG_DATA_HOME set; an old copy of the data file in the
# player's folder gives way to the link.
mkdir -p "$WORK/xdg data/brumzel-ball"
echo "an old data file" >"$WORK/xdg data/brumzel-ball/GAMEDATA.DAT"
play_installed "$ROOT/usr/lib/games/brumzel-ball/brumzel-ball" "$ROOT/usr/share/games/brumzel-ball/GAMEDATA.DAT" \
    "$WORK/xdg data/brumzel-ball" / env PATH="$ROOT/usr/games:$PATH" XDG_DATA_HOME="$WORK/xdg data" brumzel-ball
dpkg_root --purge brumzel-ball || fail "dpkg could not purge the package: $(tail -3 "$WORK/dpkg.log")"
left=$(cd "$ROOT" && find . -mindepth 1 ! -path './var*')
[ -z "$left" ] || fail "left behind after the purge: $left"

echo "cmake --install and the $(basename "$deb") package: files, desktop entry, icons, metadata, manual page, licences, game in order"
