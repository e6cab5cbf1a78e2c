# Shared by .ci/play-under-xvfb, .ci/check-install and bench/cpu_share.sh (sourced, not run): a virtual X display,
# the game played through it as a player would, and the checks of what it saved.

# Starts Xvfb (screen $XVFB_SCREEN, 1024x768x24 unless set) on the first free display number
# from 90 on and exports DISPLAY.
start_xvfb() {
  local display=90
  while [[ -e /tmp/.X11-unix/X$display || -e /tmp/.X$display-lock ]]; do display=$((display + 1)); done
  Xvfb ":$display" -screen 0 "${XVFB_SCREEN:-1024x768x24}" -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  export DISPLAY=":$display"
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
}

# Ends the game and the display if they still run; call it from the caller's EXIT trap.
stop_game_and_xvfb() {
  [[ -n "${game:-}" ]] && kill "$game" 2>/dev/null || true
  [[ -n "${xvfb:-}" ]] && kill "$xvfb" 2>/dev/null || true
}

# Prints the id of the game's main window once it shows, 720 pixels wide (the loading window
# carries the same title and goes away); fails after 30 seconds.
game_window() {
  local window width
  for _ in $(seq 300); do
    for window in $(xdotool search --onlyvisible --name '^Kestrel$' 2>/dev/null); do
      width=$(xwininfo -id "$window" 2>/dev/null | awk '/Width:/ {print $2}')
      [[ "$width" == 720 ]] && { echo "$window"; return 0; }
    done
    sleep 0.1
  done
  return 1
}

# play_game SHOTS COMMAND...: starts the game with COMMAND, checks its 720 x 540 client area,
# plays title -> stage selection (difficulty Normal) -> the first stage -> back to the title ->
# Quit, taking screenshots into SHOTS, and checks that the game ended with status 0.
play_game() {
  local shots=$1
  shift
  mkdir -p "$shots"
  "$@" &
  game=$!
  local window width height
  window=$(game_window) || { echo "no 720 x 540 game window appeared" >&2; return 1; }
  read -r width height < <(xwininfo -id "$window" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w, h}')
  echo "window $window: client area ${width:-?} x ${height:-?}"
  [[ "$width" == 720 && "$height" == 540 ]] || { echo "expected a 720 x 540 client area" >&2; return 1; }

  click() {  # x y in the game's picture
    xdotool mousemove --window "$window" "$1" "$2"
    sleep 0.3
    xdotool click 1
    sleep 1
  }
  screen() { import -window root "$shots/$1.png"; }

  sleep 1
  screen title
  click 220 324    # title: Play
  screen stage-selection
  click 350 190    # difficulty: Normal
  click 352 354    # Start
  click 356 300    # the help page goes away
  sleep 3
  screen play
  click 164 373    # Exit
  click 302 317    # Yes: back to the title
  click 220 388    # Quit

  local status=0
  for _ in $(seq 100); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$game" 2>/dev/null; then
    echo "the game did not end after Quit" >&2
    return 1
  fi
  wait "$game" || status=$?
  game=
  echo "exit status $status"
  [[ $status -eq 0 ]]
}

# check_saved_files FOLDER: the settings hold the difficulty chosen in play_game and the
# high-score table is the 24-record file.
check_saved_files() {
  grep -qx 'L_UserDefDiff=1' "$1/UserSettings.ini" || {
    echo "$1/UserSettings.ini does not hold the chosen difficulty:" >&2
    cat "$1/UserSettings.ini" >&2
    return 1
  }
  [[ $(stat -c %s "$1/gameinfo.cfg") -eq 432 ]] || { echo "$1/gameinfo.cfg is not the 24-record table" >&2; return 1; }
}
