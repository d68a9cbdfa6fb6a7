# What both end-to-end runs share (sourced): steps, bounded waits, an X server
# of their own, and the box's window and pixels on it. Expects $work and the
# array pids from the script.

step() { echo "== $*"; }

# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

# Starts an Xvfb for the run and points DISPLAY at it; exits 77 (skipped) where
# none can start. -noreset: by default the server resets whenever its last client
# leaves and drops a client that is connecting just then, as the restarting box
# does.
start_x_server() {
  step "X server"
  exec 3<> <(:)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
  pids+=($!)
  read -r -t 10 display <&3 || { echo "SKIP: Xvfb does not start here"; exit 77; }
  export DISPLAY=":$display"
  wait_for 10 xdotool getdisplaygeometry >/dev/null 2>&1 || { echo "SKIP: the X server does not answer"; exit 77; }
}

# The box's window on the screen, and its pixels.
window() { xdotool search --name '^MainForm$' 2>/dev/null | head -n 1; }
has_window() { [ -n "$(window)" ]; }
shot() { import -window root "$work/shot.png"; }
pixel() { convert "$work/shot.png" -format "%[hex:p{$1,$2}]" info: | cut -c1-6; }
# A fresh screenshot whose pixel (x, y) is, or is not, the colour given.
shows() { shot && [ "$(pixel "$1" "$2")" = "$3" ]; }
shows_other_than() { shot && [ "$(pixel "$1" "$2")" != "$3" ]; }
geometry() { eval "$(xdotool getwindowgeometry --shell "$(window)")"; }
# Row r's point (dx, dy) on the screen; the list is at 13,123 in the window.
row_x() { echo $((X + 13 + $1)); }
row_y() { echo $((Y + 123 + $1 * 40 + $2)); }

# A broken service in front of the real one (fault-proxy.py): on port $1, passing
# to the service on port $2; faults WORDS sets what it breaks, requests PATTERN
# counts what it was asked.
start_fault_proxy() {
  python3 "$(dirname "${BASH_SOURCE[0]}")/fault-proxy.py" "$1" "$2" "$work/faults" >"$work/proxy.log" 2>&1 &
  pids+=($!)
  wait_for 10 grep -q '^listening' "$work/proxy.log"
}
faults() { echo "$*" >"$work/faults"; }
requests() { grep -c "^GET $1" "$work/proxy.log"; }

# The update against a broken service, and what an update killed at its renames
# leaves. The script names the installed box ($installed), starts it
# (start_installed), tells whether it runs (installed_running), stamps the site's
# box anew (restamp ARGS) and serves the site (serve [PORT], $service, $port);
# the box runs, its service answers on $port.
installed_stopped() { ! installed_running; }
gone() { ! test -e "$1"; }
installed_is() { [ "$(md5sum "$installed" 2>/dev/null | cut -c1-32)" = "$1" ]; }
close_box() {
  geometry
  xdotool mousemove $((X + 956 + 8)) $((Y + 16)) click 1
  wait_for 30 installed_stopped || fail "the box did not close"
}
shows_rows() {
  wait_for 60 has_window && sleep 1 && geometry &&
    wait_for 30 shows_other_than "$(row_x 8)" "$(row_y 0 20)" 2D2F32
}
# The last request for PATH came after the last for the new box.
asked_after_box() {
  awk -v path="GET $1" '$0 == path {p = NR} $0 == "GET /getvalue/box.exe" {b = NR} END {exit !(p > b && b > 0)}' \
    "$work/proxy.log"
}
message_box() { xdotool search --name '^提示$' 2>/dev/null | head -n 1; }
has_message_box() { [ -n "$(message_box)" ]; }

reliability_steps() {
  step "the update check answers an error page: the new box is installed once, then the list"
  close_box
  kill "$service"
  serve
  wait_for 10 bash -c "[ \$(grep -c '^http://' '$work/service.log') -ge 3 ]" || fail "the service did not move"
  local upstream
  upstream=$(grep '^http://' "$work/service.log" | tail -n 1)
  upstream=${upstream##*:} upstream=${upstream%/}
  faults getcode-page
  start_fault_proxy "$port" "$upstream" || fail "the fault proxy did not start"
  cp "$installed" "$work/older-box"
  restamp --trace 2000003 || fail "stamp a newer box"
  local newer
  newer=$(md5sum "$work/site/box" | cut -c1-32)
  start_installed
  wait_for 60 installed_is "$newer" || fail "the box did not update itself"
  wait_for 60 asked_after_box / || fail "the new box did not ask for the list"
  shows_rows || fail "the new box shows no rows"
  sleep 3
  [ "$(requests /getvalue/box.exe)" = 2 ] || fail "the box was fetched $(requests /getvalue/box.exe) times, not twice"
  installed_is "$newer" && installed_running || fail "the new box did not stay"

  step "the new box is cut half-way: said once, then the list, the box running"
  close_box
  faults cut-box
  restamp --trace 2000004 || fail "stamp a newer box"
  start_installed
  wait_for 60 has_message_box || fail "no message"
  shot && keep_shot update-failed
  installed_is "$newer" && ! test -e "$installed.bak" || fail "the cut box touched the installed one"
  xdotool windowfocus --sync "$(message_box)" key Return
  wait_for 30 asked_after_box / || fail "no list after the failed update"
  shows_rows || fail "no rows after the failed update"
  installed_running || fail "the box did not go on"

  step "an update killed before its first rename: the box starts and updates"
  close_box
  faults
  cp "$work/site/box" "$installed.new"
  start_installed
  wait_for 60 installed_is "$(md5sum "$work/site/box" | cut -c1-32)" || fail "the box did not update itself"
  shows_rows || fail "no rows"
  wait_for 30 gone "$installed.new" || fail "the left-over new box stayed"

  step "an update killed after its second rename: the new box starts and shows its rows"
  close_box
  cp "$work/older-box" "$installed.bak"
  start_installed
  shows_rows || fail "no rows"
  wait_for 30 gone "$installed.bak" || fail "the backup stayed"

  resume_steps
}

# A launcher's download killed half-way resumes at the next start's click. Needs
# what reliability_steps needs, and from the script: $launcher, click_enter,
# started N (the launcher has started at least N times), kill_box (kills the
# running box at once).
resume_steps() {
  step "a launcher's download killed half-way: the next start asks only for the rest"
  local cache="${installed%/*}/Downloads/$launcher.Dat" half size launches=0
  while started $((launches + 1)); do launches=$((launches + 1)); done
  rm -f "$cache"
  faults hold-launcher
  sleep 0.5 && geometry && click_enter
  wait_for 30 grep -q "^HELD /getvalue/$launcher.exe" "$work/proxy.log" || fail "the launcher was not asked for"
  half=$(awk -v p="/getvalue/$launcher.exe" '$1 == "HELD" && $2 == p {print $3}' "$work/proxy.log" | tail -n 1)
  # What arrived is on disk once the line has been quiet for a moment.
  wait_for 10 bash -c "[ \"\$(stat -c %s '$cache.part' 2>/dev/null)\" = '$half' ]" || fail "no part file of $half bytes"
  kill_box
  wait_for 20 installed_stopped || fail "the box was not killed"
  faults
  start_installed
  shows_rows || fail "no rows after the kill"
  click_enter
  wait_for 60 started $((launches + 1)) || fail "the launcher did not start after the resumed download"
  size=$(stat -c %s "$cache")
  grep -qxF "RANGE /getvalue/$launcher.exe bytes=$half-" "$work/proxy.log" || fail "the rest was not asked for"
  [ "$(grep "^SENT /getvalue/$launcher.exe " "$work/proxy.log" | tail -n 1 | cut -d' ' -f3)" = $((size - half)) ] ||
    fail "more than the rest was sent: $(grep "^SENT /getvalue/$launcher.exe " "$work/proxy.log" | tail -n 1)"
  gone "$cache.part" || fail "the part file stayed"
}

# The operator signs the site: the unsigned box installs the first signed one,
# which takes the record and shows the signed rows. Needs $admin (the Linux
# operator tool) and the steps above.
signing_steps() {
  step "the site is signed: the unsigned box moves to the first signed one"
  close_box
  local key
  for key in current standby; do "$admin" keygen "$work/$key.pem" >"$work/$key.pub" || fail "keygen"; done
  restamp --trust-key "$(cat "$work/current.pub")" --trust-key "$(cat "$work/standby.pub")" || fail "stamp with trust keys"
  "$admin" sign "$work/site" --key "$work/current.pem" >/dev/null || fail "sign"
  local signed_md5
  signed_md5=$(md5sum "$work/site/box" | cut -c1-32)
  start_installed
  wait_for 60 installed_is "$signed_md5" || fail "the box did not move to the signed one"
  wait_for 60 asked_after_box /getvalue/release.txt || fail "the signed box did not ask for the record"
  wait_for 30 asked_after_box / || fail "the signed box did not ask for the list"
  shows_rows || fail "the signed box shows no rows"
  shot && keep_shot signed
}
