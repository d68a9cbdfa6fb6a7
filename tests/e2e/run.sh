#!/usr/bin/env bash
# The whole product as a player and an operator meet it: a real X server, the
# reference service on loopback with the demo site, a temporary home; the box is
# started from a download folder, moves itself, shows the list, starts a
# launcher, updates itself, copes with the service going away, with a broken
# update and with an update killed at its renames.
#   run.sh BUILD_DIR        (exit 77: skipped, no X server can start here)
set -uo pipefail
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
admin="$build/tools/admin/tandrel-admin"

for tool in Xvfb xdotool import convert; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing, no end-to-end run here"; exit 77; }
done

work=$(mktemp -d /tmp/tandrel-e2e-XXXXXX)
pids=()
cleanup() {
  pkill -f -- "$work/" 2>/dev/null
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  sleep 0.3
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  for log in service box xvfb; do [ -f "$work/$log.log" ] && { echo "-- $log.log"; tail -8 "$work/$log.log"; }; done
  exit 1
}
# shellcheck source=common.sh
source "$(dirname "$0")/common.sh"
start_x_server

step "site, service and box"
"$admin" new-site "$work/site" --launcher "$build/src/demo/demo-launcher" >/dev/null || fail "new-site"
serve() {
  "$admin" serve "$work/site" --exit-after 500 ${1:+--port $1} >>"$work/service.log" 2>&1 &
  pids+=($!)
  service=$!
}
serve
wait_for 10 test -s "$work/service.log" || fail "the service did not start"
url=$(head -n 1 "$work/service.log")
port=${url##*:}; port=${port%/}
restamp() { "$admin" stamp "$build/src/app/box" "$work/site/box" --url "$url" --name Corvessa --site-dir "$work/site" "$@" >/dev/null; }
restamp || fail "stamp"

export HOME="$work/home" XDG_DATA_HOME="$work/home/.local/share" XDG_CONFIG_HOME="$work/home/.config"
export XDG_RUNTIME_DIR="$work/runtime" TANDREL_LAUNCHER_PROOF="$work/proof"
mkdir -p "$HOME/Downloads" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
cp "$work/site/box" "$HOME/Downloads/box"
installed="$XDG_DATA_HOME/Corvessa/box"
proof="$work/proof"

start_box() { "$root/scripts/lib/isolated-drives" "$HOME" "$1" >>"$work/box.log" 2>&1 & }
start_installed() { start_box "$installed"; }
installed_running() { pgrep -fx -- "$installed" >/dev/null; }
keep_shot() { mkdir -p "$build/screenshots" && cp "$work/shot.png" "$build/screenshots/e2e-$1.png"; }

step "first start from the download folder: the box moves itself and restarts"
start_box "$HOME/Downloads/box"
wait_for 30 test -x "$installed" || fail "no copy in the install folder"
wait_for 60 has_window || fail "no window"
wait_for 30 bash -c "pgrep -fx -- '$installed' >/dev/null" || fail "the installed box did not start"
wait_for 20 bash -c "! test -e '$HOME/Downloads/box'" || fail "the old box was not cleaned up"
wait_for 10 test -e "$XDG_DATA_HOME/applications/Corvessa.desktop" || fail "no desktop entry"
grep -q "Exec=\"$installed\"" "$XDG_DATA_HOME/applications/Corvessa.desktop" || fail "the entry does not start the installed box"

step "the list, drawn"
sleep 1
geometry
xdotool mousemove "$(row_x 500)" "$(row_y 5 20)"
wait_for 10 shows "$(row_x 1)" "$(row_y 5 20)" BE5406 || fail "row 5 under the pointer is not highlighted: $(pixel "$(row_x 1)" "$(row_y 5 20)")"
[ "$(pixel "$(row_x 500)" "$(row_y 0 0)")" = "2D2F32" ] || fail "no list background between the rows: $(pixel "$(row_x 500)" "$(row_y 0 0)")"
plate=$(pixel "$(row_x 8)" "$(row_y 0 20)")
[ "$(( 0x${plate:0:2} ))" -lt 60 ] || fail "no dark row plate: $plate"
cp "$work/shot.png" "$build/screenshots/e2e-list.png" 2>/dev/null

step "enter game: download, verify, start; then start from the cache"
launcher=$(awk -F'"' '/LauncherName/ {n++; if (n == 4) print $4}' "$work/site/servers.json")
click_enter() { xdotool mousemove "$(row_x 869)" "$(row_y 3 21)" click 1; }
started() { [ "$(grep -c "Tmp/$launcher.exe" "$proof" 2>/dev/null)" -ge "$1" ]; }
kill_box() { pkill -9 -fx -- "$installed"; }
click_enter
wait_for 20 grep -q "Tmp/$launcher.exe" "$work/proof" 2>/dev/null || fail "launcher $launcher did not start"
click_enter
wait_for 20 bash -c "[ \$(grep -c 'Tmp/$launcher.exe' '$work/proof') -ge 2 ]" || fail "the second click did not start it"
[ "$(grep -c "GET /getvalue/$launcher.exe" "$work/service.log")" = 1 ] || fail "the launcher was downloaded more than once"
pkill -f -- "$XDG_DATA_HOME/Corvessa/Tmp/" 2>/dev/null

step "the service goes away: a reload shows no rows and no message; back again, the rows return"
kill "$service"; sleep 0.5
xdotool mousemove $((X + 31 + 40)) $((Y + 103 + 8)) click 1
wait_for 10 shows "$(row_x 8)" "$(row_y 0 20)" 2D2F32 || fail "rows are still shown"
[ -z "$(xdotool search --name '^提示$' 2>/dev/null)" ] || fail "a message box came up"
serve "$port"
wait_for 10 bash -c "[ \$(grep -c '^http://' '$work/service.log') -ge 2 ]" || fail "the service did not come back"
sleep 0.3
xdotool mousemove $((X + 31 + 40)) $((Y + 103 + 8)) click 1
wait_for 10 shows_other_than "$(row_x 8)" "$(row_y 0 20)" 2D2F32 || fail "the refresh did not bring the rows back"

step "a new box is published: the next start updates itself, the one after cleans up"
restamp --trace 2000002
new_md5=$(md5sum "$work/site/box" | cut -c1-32)
geometry
xdotool mousemove $((X + 956 + 8)) $((Y + 16)) click 1
wait_for 10 bash -c "! pgrep -fx -- '$installed' >/dev/null" || fail "the box did not close"
start_box "$installed"
wait_for 30 bash -c "[ \"\$(md5sum '$installed' | cut -c1-32)\" = '$new_md5' ]" || fail "the box did not update itself"
wait_for 5 test -e "$installed.bak" || true  # the backup stands until the new box's clean-up
wait_for 20 bash -c "pgrep -fx -- '$installed' >/dev/null" || fail "the new box did not start"
wait_for 20 bash -c "! test -e '$installed.bak'" || fail "the new box did not remove the backup"
[ "$(grep -c 'GET /getvalue/box.exe' "$work/service.log")" = 1 ] || fail "the box was downloaded more than once"

reliability_steps
signing_steps

echo "1 passed, 0 failed"
