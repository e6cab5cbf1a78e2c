# SPDX-License-Identifier: MIT
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
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
  echo "the virtual display :$display did not answer within 5 seconds" >&2
  return 1
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

# expect_screen PICTURE NAME: PICTURE, a screenshot of the game's 720 x 540 client area, shows
# the screen NAME (title, select, play, exit, pause, gameover, scores, controls, name or help): of the screens of the skin's
# contact sheet (tools/skin/preview.png, composed from the skin's own files) it is nearest to
# that one, and near it (root mean square distance below 0.2). What moves (the board, the
# figure, the time, the scrolling background, a swaying panel) keeps a screenshot 0.16 at most
# off its own screen; a screen without its panel, or another screen, lies farther.
expect_screen() {
  local picture=$1 name=$2 sheet panel distance nearest="" best=""
  sheet=$(dirname "${BASH_SOURCE[0]}")/../tools/skin/preview.png
  [[ -f "$picture" ]] || { echo "no screenshot $picture" >&2; return 1; }
  [[ $(identify -format '%wx%h' "$picture") == 720x540 ]] || {
    echo "$picture is not a picture of the 720 x 540 client area" >&2
    return 1
  }
  # The screens of the contact sheet: 720 x 540 each, two a row, 12 pixels apart under a 22-pixel caption.
  local -A at=([title]=+12+34 [select]=+744+34 [play]=+12+608 [exit]=+744+608 [pause]=+12+1182 [gameover]=+744+1182
    [scores]=+12+1756 [controls]=+744+1756 [name]=+12+2330 [help]=+744+2330)
  [[ -n "${at[$name]:-}" ]] || { echo "expect_screen: no screen $name on the contact sheet" >&2; return 1; }
  for panel in "${!at[@]}"; do
    # compare's status is 1 when the pictures differ; only its measure tells whether it worked.
    distance=$(convert "$sheet" -crop "720x540${at[$panel]}" +repage png:- |
      compare -metric RMSE "$picture" png:- null: 2>&1 || true)
    distance=$(sed -n 's/^[0-9.e+-]* (\([0-9.e+-]*\))$/\1/p' <<<"$distance")
    [[ -n "$distance" ]] || { echo "comparing $picture with the contact sheet's $panel screen failed" >&2; return 1; }
    if [[ -z "$best" ]] || awk "BEGIN {exit !($distance < $best)}"; then best=$distance nearest=$panel; fi
    [[ $panel == "$name" ]] && local own=$distance
  done
  echo "$(basename "$picture"): nearest the contact sheet's $nearest screen ($best)"
  if [[ $nearest != "$name" ]] || awk "BEGIN {exit !($own >= 0.2)}"; then
    echo "$picture does not show the $name screen (distance $own; nearest: $nearest at $best)" >&2
    return 1
  fi
}

# play_game SHOTS COMMAND...: starts the game with COMMAND, checks its 720 x 540 client area,
# plays title -> stage selection (difficulty Normal) -> the first stage -> back to the title ->
# Quit, taking screenshots of the window into SHOTS and checking that each shows its screen, and
# checks that the game ended with status 0.
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
  screen() {  # the window's picture, which must show the screen $2
    rm -f "$shots/$1.png"  # never an earlier run's
    import -window "$window" "$shots/$1.png"
    expect_screen "$shots/$1.png" "$2"
  }

  sleep 1
  screen title title
  click 220 308    # title: Play
  screen stage-selection select
  click 350 190    # difficulty: Normal
  click 352 354    # Start
  click 356 300    # the help page goes away
  sleep 3
  screen play play
  click 164 373    # Exit
  click 302 317    # Yes: back to the title
  click 220 476    # Quit

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
