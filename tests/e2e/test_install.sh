#!/bin/bash
# Installing into a fresh prefix (with a space in its path) gives a game a desktop user can
# start: the executable and its data, a command on the PATH that runs the game in the player's
# own folder from any working folder, a valid desktop entry with its icons, valid AppStream
# metadata and a manual page -- and nothing else.
source "$(dirname "$0")/lib.sh"
e2e_init install
# Paths are compared with what the system reports, which has every link resolved.
WORK=$(cd "$WORK" && pwd -P)
export HOME="$WORK/home"

BUILD_DIR=${BUILD_DIR:-$(dirname "$GAMEDATA")}
[ -f "$BUILD_DIR/cmake_install.cmake" ] || fail "no build tree at $BUILD_DIR"
PREFIX="$WORK/the prefix"
log "installing into $PREFIX"
"${CMAKE_COMMAND:-cmake}" --install "$BUILD_DIR" --prefix "$PREFIX" >"$WORK/install.log" 2>&1 ||
    fail "cmake --install failed: $(tail -3 "$WORK/install.log")"

# --- exactly these files, and nothing else ---
(cd "$PREFIX" && find . -type f -o -type l | sed 's|^\./||' | sort) >"$WORK/installed.txt"
sort >"$WORK/expected.txt" <<'LIST'
bin/brumzel-ball
libexec/brumzel-ball/brumzel-ball
share/applications/brumzel-ball.desktop
share/brumzel-ball/GAMEDATA.DAT
share/brumzel-ball/brumzel-launch
share/icons/hicolor/128x128/apps/brumzel-ball.png
share/icons/hicolor/256x256/apps/brumzel-ball.png
share/icons/hicolor/64x64/apps/brumzel-ball.png
share/man/man6/brumzel-ball.6
share/metainfo/org.brumzelball.BrumzelBall.metainfo.xml
LIST
diff -u "$WORK/expected.txt" "$WORK/installed.txt" >"$WORK/files.diff" ||
    fail "the installed files are not the expected ones: $(grep '^[-+][a-z]' "$WORK/files.diff" | tr '\n' ' ')"
for f in bin/brumzel-ball libexec/brumzel-ball/brumzel-ball share/brumzel-ball/brumzel-launch; do
    [ -x "$PREFIX/$f" ] || fail "$f is not executable"
done
cmp -s "$PREFIX/share/brumzel-ball/GAMEDATA.DAT" "$GAMEDATA" || fail "the installed data file differs"
cmp -s "$PREFIX/libexec/brumzel-ball/brumzel-ball" "$BRUMZEL_BIN" || fail "the installed game differs"
cmp -s "$PREFIX/share/brumzel-ball/brumzel-launch" "$(dirname "$0")/../../scripts/brumzel-launch" ||
    fail "the installed launcher is not the one make play uses"

# --- the desktop entry: valid, starting the command on the PATH, with an icon of that name ---
desktop="$PREFIX/share/applications/brumzel-ball.desktop"
desktop-file-validate "$desktop" >"$WORK/desktop.log" 2>&1 ||
    fail "desktop-file-validate: $(head -3 "$WORK/desktop.log")"
[ ! -s "$WORK/desktop.log" ] || fail "desktop-file-validate warns: $(head -3 "$WORK/desktop.log")"
icon=$(sed -n 's/^Icon=//p' "$desktop")
# The entry and each of its actions start the installed command.
for exec_cmd in $(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop"); do
    [ "$(PATH="$PREFIX/bin:$PATH" command -v "$exec_cmd")" = "$PREFIX/bin/brumzel-ball" ] ||
        fail "the desktop entry's Exec=$exec_cmd is not the installed command"
done
for size in 64 128 256; do
    png="$PREFIX/share/icons/hicolor/${size}x${size}/apps/$icon.png"
    [ -f "$png" ] || fail "no ${size}px icon named $icon in the hicolor theme"
    [ "$(identify -format '%m %wx%h' "$png")" = "PNG ${size}x${size}" ] ||
        fail "the ${size}px icon is $(identify -format '%m %wx%h' "$png")"
    # A round logo: transparent corners, an opaque, colourful middle.
    [ "$(convert "$png" -format '%[fx:int(255*p{0,0}.a)]' info:)" = 0 ] ||
        fail "the ${size}px icon's corner is not transparent"
    [ "$(convert "$png" -format "%[fx:int(255*p{$((size / 2)),$((size / 2))}.a)]" info:)" = 255 ] ||
        fail "the ${size}px icon's middle is not opaque"
    colours=$(convert "$png" -colors 64 -unique-colors -format '%w' info:)
    [ "$colours" -ge 16 ] || fail "the ${size}px icon has only $colours colours"
done

# --- AppStream metadata: valid, naming the desktop entry and the command ---
meta="$PREFIX/share/metainfo/org.brumzelball.BrumzelBall.metainfo.xml"
appstreamcli validate --no-net "$meta" >"$WORK/appstream.log" 2>&1 ||
    fail "appstreamcli validate: $(grep -v '^$' "$WORK/appstream.log" | head -3)"
grep -q "<launchable type=\"desktop-id\">$(basename "$desktop")</launchable>" "$meta" ||
    fail "the metadata does not launch $(basename "$desktop")"
grep -q '<binary>brumzel-ball</binary>' "$meta" || fail "the metadata does not provide the command"

# --- the manual page: section 6, formats without warnings, has the usual sections ---
manpage="$PREFIX/share/man/man6/brumzel-ball.6"
head -1 "$manpage" | grep -q '^\.TH BRUMZEL-BALL 6 ' || fail "the manual page is not for section 6"
warnings=$(groff -man -Tutf8 -ww -z "$manpage" 2>&1)
[ -z "$warnings" ] || fail "the manual page has formatting warnings: $warnings"
page=$(groff -man -Tascii -P-cbou "$manpage" 2>/dev/null)
for section in NAME SYNOPSIS DESCRIPTION CONTROLS FILES; do
    grep -q "^$section" <<<"$page" || fail "the manual page has no $section section"
done

# --- the launcher's choice of folder, with a stand-in for the game that reports where it runs ---
launch="$PREFIX/share/brumzel-ball/brumzel-launch"
cat >"$WORK/stand-in" <<'SH'
#!/bin/sh
echo "$(pwd -P) $(readlink GAMEDATA.DAT)"
SH
chmod +x "$WORK/stand-in"
data="$PREFIX/share/brumzel-ball/GAMEDATA.DAT"
# Runs the launcher from FOLDER with the environment settings given; sets LAUNCHED.
launch_from() {
    local folder=$1
    shift
    LAUNCHED=$(cd "$folder" && env -u XDG_DATA_HOME "$@" "$launch" "$WORK/stand-in" "$data" 2>&1) ||
        fail "the launcher failed: $LAUNCHED"
}
mkdir -p "$WORK/a folder/deeper"
launch_from / HOME="$WORK/home"
[ "$LAUNCHED" = "$WORK/home/.local/share/brumzel-ball $data" ] ||
    fail "without XDG_DATA_HOME the launcher ran: $LAUNCHED"
launch_from / HOME="$WORK/home" XDG_DATA_HOME="$WORK/a folder"
[ "$LAUNCHED" = "$WORK/a folder/brumzel-ball $data" ] || fail "with XDG_DATA_HOME the launcher ran: $LAUNCHED"
launch_from "$WORK/a folder/deeper" HOME="$WORK/home" XDG_DATA_HOME=relative
[ "$LAUNCHED" = "$WORK/home/.local/share/brumzel-ball $data" ] ||
    fail "with a relative XDG_DATA_HOME the launcher ran: $LAUNCHED"
[ ! -e "$WORK/a folder/deeper/relative" ] || fail "a relative XDG_DATA_HOME made a folder"
# Relative paths to the game and its data are taken from where the launcher starts.
LAUNCHED=$(cd "$WORK" && HOME="$WORK/home" "$launch" ./stand-in "the prefix/share/brumzel-ball/GAMEDATA.DAT" 2>&1)
[ "$LAUNCHED" = "$WORK/home/.local/share/brumzel-ball $data" ] ||
    fail "with relative paths the launcher ran: $LAUNCHED"
# A missing data file is reported, and nothing is started.
if out=$(HOME="$WORK/home" "$launch" "$WORK/stand-in" "$WORK/nowhere.DAT" 2>&1); then
    fail "the launcher started the game without a data file: $out"
fi
grep -q "nowhere.DAT" <<<"$out" || fail "the launcher does not say which data file is missing: $out"

# The launched game: the installed executable, running in FOLDER, which links to the
# installed data file.
check_game_folder() {
    local folder=$1
    [ "$(readlink "/proc/$GAME_PID/exe")" = "$PREFIX/libexec/brumzel-ball/brumzel-ball" ] ||
        fail "the running game is $(readlink "/proc/$GAME_PID/exe"), not the installed one"
    [ "$(readlink "/proc/$GAME_PID/cwd")" = "$folder" ] ||
        fail "the game runs in $(readlink "/proc/$GAME_PID/cwd"), not in $folder"
    [ "$(readlink -f "$folder/GAMEDATA.DAT")" = "$PREFIX/share/brumzel-ball/GAMEDATA.DAT" ] ||
        fail "$folder/GAMEDATA.DAT does not lead to the installed data file"
}

# Quits through the menu and the credits; the game must end with status 0.
quit_game() {
    click_at 696 264
    wait_until credits 30 colour_above "rgb(255,64,64)" 200x50+300+100 200
    sleep 1
    click_at 706 503
    wait_exit 30
    [ "$EXIT_STATUS" = 0 ] || fail "exit status $EXIT_STATUS after the credits"
}

# --- started by name from the PATH in a folder holding a broken GAMEDATA.DAT: the launcher
#     makes ~/.local/share/brumzel-ball the game's folder and ignores the one it was started in ---
elsewhere="$WORK/some folder"
mkdir -p "$elsewhere"
echo "not a data file" >"$elsewhere/GAMEDATA.DAT"
unset XDG_DATA_HOME
start_game "$elsewhere" env PATH="$PREFIX/bin:$PATH" brumzel-ball
wait_for_menu 60
check_game_folder "$HOME/.local/share/brumzel-ball"
log "started from $elsewhere, runs in $(readlink "/proc/$GAME_PID/cwd")"
quit_game

# --- through a link to the command, from the root folder, with XDG_DATA_HOME set; a copy of
#     the data file left in the player's folder is replaced by the link ---
mkdir -p "$WORK/links" "$WORK/xdg data/brumzel-ball"
ln -s "$PREFIX/bin/brumzel-ball" "$WORK/links/bb"
echo "an old data file" >"$WORK/xdg data/brumzel-ball/GAMEDATA.DAT"
start_game / env XDG_DATA_HOME="$WORK/xdg data" "$WORK/links/bb"
wait_for_menu 60
check_game_folder "$WORK/xdg data/brumzel-ball"
quit_game

echo "installed game, desktop entry, icons, metadata and manual page in order"
