#!/usr/bin/env bash
# The Windows box as a player and an operator meet it: a real X server, Wine with
# a prefix of its own (fixed drives C: and D: on one disk, so they tie on free
# space and the box takes D:), the reference service on loopback with the demo
# site; the box is started from the player's download folder on C:, moves itself,
# keeps a desktop shortcut, shows the list, starts a launcher, copes with the
# service going away, updates itself, and copes with a broken update and with
# an update killed at its renames.
#   e2e.sh BOX_EXE LAUNCHER_EXE ADMIN WORK_DIR SCREENSHOT_DIR
# (exit 77: skipped, no X server or no Wine here). WORK_DIR is made afresh and
# kept after the run, with the logs; the screenshots go to SCREENSHOT_DIR.
set -uo pipefail
box_exe=$1 launcher_exe=$2 admin=$3 work=$4 shots=$5
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
wine=/usr/lib/wine/wine64 wineserver=/usr/lib/wine/wineserver

for tool in Xvfb xdotool import convert; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing, no end-to-end run here"; exit 77; }
done
[ -x "$wine" ] && [ -x "$wineserver" ] || { echo "SKIP: Wine is missing, no end-to-end run here"; exit 77; }
[ -x "$admin" ] || { echo "FAIL: no operator tool at $admin: build the target tandrel-admin of the Linux build"; exit 1; }

rm -rf "$work"
mkdir -p "$work" "$shots"
rm -f "$shots"/windows-e2e-*.png
prefix="$work/wine"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
pids=()
cleanup() {
  # Every Windows program of the prefix, then the Linux side.
  [ -d "$prefix" ] && "$wineserver" -k 2>/dev/null
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  sleep 0.3
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  [ -n "${DISPLAY:-}" ] && import -window root "$shots/windows-e2e-failure.png" 2>/dev/null
  for log in service box xvfb; do [ -f "$work/$log.log" ] && { echo "-- $log.log"; tail -8 "$work/$log.log"; }; done
  exit 1
}
# shellcheck source=../e2e/common.sh
source "$here/../e2e/common.sh"
start_x_server

step "Wine prefix"
"$here/make-wine-prefix" "$prefix" "$root" "$work" >"$work/prefix.log" 2>&1 || fail "make-wine-prefix"
# A Windows path of the prefix as the Linux side sees it.
unix_path() { "$wine" winepath.exe -u "$1" 2>/dev/null | tr -d '\r'; }
desktop=$("$here/desktop-folder" "$prefix")
[ -n "$desktop" ] || fail "the prefix names no desktop folder"
desktop_dir=$(unix_path "$desktop")
downloads="${desktop%\\*}\\Downloads"
downloads_dir=$(unix_path "$downloads")
[ -n "$desktop_dir" ] && [ -n "$downloads_dir" ] || fail "no Linux path for $desktop or $downloads"
mkdir -p "$desktop_dir" "$downloads_dir"
case "$downloads_dir" in "$prefix"/*) ;; *) fail "the download folder $downloads_dir is outside the prefix" ;; esac

step "site, service and box"
"$admin" new-site "$work/site" --launcher "$launcher_exe" >/dev/null || fail "new-site"
serve() {
  "$admin" serve "$work/site" --exit-after 380 ${1:+--port $1} >>"$work/service.log" 2>&1 &
  pids+=($!)
  service=$!
}
service_started() { [ "$(grep -c '^http://' "$work/service.log")" -ge "$1" ]; }
serve
wait_for 10 test -s "$work/service.log" || fail "the service did not start"
url=$(head -n 1 "$work/service.log")
port=${url##*:} port=${port%/}
stamp() { "$admin" stamp "$box_exe" "$work/site/box" --url "$url" --name Corvessa --site-dir "$work/site" "$@" >/dev/null; }
stamp || fail "stamp"
cp "$work/site/box" "$downloads_dir/box.exe"

# The launchers leave their proof in the prefix: the box's world has no Z: drive.
export TANDREL_LAUNCHER_PROOF='C:\proof.txt'
proof="$prefix/drive_c/proof.txt"
installed="$prefix/drive_d/Corvessa/box.exe"
installed_win='D:\Corvessa\box.exe'
start_box() { (cd "$prefix/drive_c" && exec "$here/wine-run" "$prefix" "$1") >>"$work/box.log" 2>&1 & }
# Wine shows a program's Windows command line as its own; explorer.exe, which starts
# the box, names the box too, but later in its line.
box_running() { [ -n "$("$here/prefix-processes" "$prefix" "^\"?$1")" ]; }
box_stopped() { ! box_running "$1"; }
installed_pattern='D:\\Corvessa\\box\.exe'
keep_shot() { cp "$work/shot.png" "$shots/windows-e2e-$1.png"; }

step "first start from the download folder on C: the box moves itself to D: and restarts"
start_box "$downloads\\box.exe"
wait_for 60 test -f "$installed" || fail "no copy in the install folder D:\\Corvessa"
wait_for 60 has_window || fail "no window"
wait_for 30 box_running "$installed_pattern" || fail "the installed box did not start"
wait_for 30 gone "$downloads_dir/box.exe" || fail "the old box was not cleaned up"
wait_for 10 gone "${installed%/*}/del.dat" || fail "the hand-off file del.dat was not removed"

step "the desktop shortcut points at the installed box"
shortcut="$desktop_dir/Corvessa.lnk"
wait_for 10 test -s "$shortcut" || fail "no shortcut $shortcut"
# A shell link names its target in ANSI, in UTF-16 or both: without the zero bytes, UTF-16 reads as ANSI.
tr -d '\000' <"$shortcut" | grep -qaiF "$installed_win" || fail "the shortcut does not name $installed_win"

step "the list, drawn"
sleep 1
geometry
xdotool mousemove "$(row_x 500)" "$(row_y 5 20)"
wait_for 10 shows "$(row_x 1)" "$(row_y 5 20)" BE5406 ||
  fail "row 5 under the pointer is not highlighted: $(pixel "$(row_x 1)" "$(row_y 5 20)")"
[ "$(pixel "$(row_x 500)" "$(row_y 0 0)")" = "2D2F32" ] ||
  fail "no list background between the rows: $(pixel "$(row_x 500)" "$(row_y 0 0)")"
plate=$(pixel "$(row_x 8)" "$(row_y 0 20)")
[ "$((0x${plate:0:2}))" -lt 60 ] || fail "no dark row plate: $plate"
keep_shot list

step "enter game: download, verify, start; then start from the cache"
launcher=$(awk -F'"' '/LauncherName/ {n++; if (n == 4) print $4}' "$work/site/servers.json")
started() { [ -f "$proof" ] && [ "$(grep -ciF "\\Corvessa\\Tmp\\$launcher" "$proof")" -ge "$1" ]; }
launcher_windows() { xdotool search --name "^$launcher" 2>/dev/null; }
has_launcher_window() { [ -n "$(launcher_windows)" ]; }
no_launcher_window() { [ -z "$(launcher_windows)" ]; }
# The pointer comes from elsewhere in the row, as a player's does.
click_enter() { xdotool mousemove "$(row_x 500)" "$(row_y 3 21)" sleep 0.3 mousemove "$(row_x 869)" "$(row_y 3 21)" sleep 0.3 click 1; }
click_enter
wait_for 30 started 1 || fail "launcher $launcher did not start"
wait_for 10 has_launcher_window || fail "the launcher shows no window"
shot && keep_shot launcher
# Windows keeps a running program's file from being replaced, so the launch copy
# can be renewed only once the game has ended; the stand-in ends by itself.
wait_for 20 no_launcher_window || fail "the launcher's window stayed"
click_enter
wait_for 30 started 2 || fail "the second click did not start it"
[ "$(grep -c "GET /getvalue/$launcher.exe" "$work/service.log")" = 1 ] || fail "the launcher was downloaded more than once"
wait_for 20 no_launcher_window || fail "the launcher's window stayed"

step "the service goes away: a reload shows no rows and no message; back again, the rows return"
kill "$service"
sleep 0.5
xdotool mousemove $((X + 31 + 40)) $((Y + 103 + 8)) click 1
wait_for 20 shows "$(row_x 8)" "$(row_y 0 20)" 2D2F32 || fail "rows are still shown"
sleep 1
[ -z "$(xdotool search --name '^提示$' 2>/dev/null)" ] || fail "a message box came up"
keep_shot offline
serve "$port"
wait_for 10 service_started 2 || fail "the service did not come back"
sleep 0.3
xdotool mousemove $((X + 31 + 40)) $((Y + 103 + 8)) click 1
wait_for 20 shows_other_than "$(row_x 8)" "$(row_y 0 20)" 2D2F32 || fail "the refresh did not bring the rows back"

step "a new box is published: the next start updates itself, the one after cleans up"
stamp --trace 2000002 || fail "stamp the new box"
new_md5=$(md5sum "$work/site/box" | cut -c1-32)
geometry
xdotool mousemove $((X + 956 + 8)) $((Y + 16)) click 1
wait_for 20 box_stopped "$installed_pattern" || fail "the box did not close"
start_box "$installed_win"
wait_for 60 installed_is "$new_md5" || fail "the box did not update itself"
wait_for 30 box_running "$installed_pattern" || fail "the new box did not start"
wait_for 60 has_window || fail "the new box shows no window"
wait_for 30 gone "$installed.bak" || fail "the new box did not remove the backup"
[ "$(grep -c 'GET /getvalue/box.exe' "$work/service.log")" = 1 ] || fail "the box was downloaded more than once"
shot && keep_shot updated

start_installed() { start_box "$installed_win"; }
kill_box() { kill -9 $("$here/prefix-processes" "$prefix" "^\"?$installed_pattern") 2>/dev/null; }
installed_running() { box_running "$installed_pattern"; }
restamp() { stamp "$@"; }
reliability_steps
signing_steps

step "the signed box moves from C: to D: again and keeps what it took: a replayed record is refused"
trust_kept() { [ -n "$(ls "${installed%/*}/Trust/"*.trust 2>/dev/null)" ] && [ -n "$(find "$prefix/drive_c/users" -path '*Tandrel/Trust/*.trust' 2>/dev/null)" ]; }
wait_for 10 trust_kept || fail "the signed box kept nothing beside itself and in the user's data folder"
close_box
cp "$work/site/release.txt" "$work/older-release.txt"
# A newer release with one server fewer, which the box takes...
python3 - "$work/site/servers.json" <<'PY'
import json, sys
path = sys.argv[1]
document = json.load(open(path, encoding="utf-8"))
document["ServerList"]["FListHelper"].pop()
json.dump(document, open(path, "w", encoding="utf-8"), ensure_ascii=False, indent=2)
PY
"$admin" sign "$work/site" --key "$work/current.pem" >/dev/null || fail "sign the newer release"
start_installed
wait_for 60 asked_after_box /getvalue/release.txt && shows_rows || fail "the newer release shows no rows"
close_box
# ...then the attacker replays the older record, while the box starts anew from C:.
cp "$work/older-release.txt" "$work/site/release.txt"
cp "$work/site/box" "$downloads_dir/box.exe"
start_box "$downloads\\box.exe"
wait_for 60 has_window || fail "no window after the move"
wait_for 30 gone "$downloads_dir/box.exe" || fail "the box did not move to D: again"
shows_rows || fail "the replayed record was taken: the kept release was lost in the move"
shot && keep_shot replay-refused

step "at 150 % on a screen too small for it: the box takes the largest scale that fits, and its buttons are where the layout puts them"
close_box
"$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1 || fail "LogPixels"
"$wineserver" -k  # the desktop reads the scale when it starts
# 939 lines at 150 % do not fit the screen's 1024: 104 DPI is the largest scale that does.
dpi=104
scaled() { echo $((($1 * dpi + 48) / 96)); }
start_installed
wait_for 60 has_window || fail "no window at 150 %"
sleep 1 && geometry
[ "$WIDTH" = "$(scaled 980)" ] && [ "$HEIGHT" = "$(scaled 939)" ] ||
  fail "the window is ${WIDTH}x$HEIGHT at 150 % on a 1280x1024 screen, not $(scaled 980)x$(scaled 939)"
row_height=$(scaled 40)
scaled_row_x() { echo $((X + $(scaled 13) + $1)); }
scaled_row_y() { echo $((Y + $(scaled 123) + $1 * row_height + $2)); }
wait_for 30 shows_other_than "$(scaled_row_x "$(scaled 8)")" "$(scaled_row_y 0 "$(scaled 20)")" 2D2F32 ||
  fail "no rows at 150 %"
before=$(grep -ciF "\\Corvessa\\Tmp\\$launcher" "$proof")
enter_x=$(scaled_row_x $(($(scaled 832) + $(scaled 74) / 2)))
enter_y=$(scaled_row_y 3 $(($(scaled 9) + $(scaled 25) / 2)))
xdotool mousemove "$(scaled_row_x "$(scaled 500)")" "$enter_y" sleep 0.3 mousemove "$enter_x" "$enter_y" sleep 0.3 click 1
wait_for 30 started $((before + 1)) || fail "a click at the scaled enter-game button's centre started nothing"
shot && keep_shot scaled

echo "1 passed, 0 failed"
