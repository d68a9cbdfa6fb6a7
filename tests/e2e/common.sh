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
