#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# CPU share of the game and of the X server in the situations a player leaves the game in.
#
#   bench/cpu_share.sh [GAME] [SECONDS] [SCREEN:HOW ...]
#
# Starts GAME (default: build/release/bin/kestrel) under Xvfb three times: a 720 x 540 window
# on a 1280 x 1024 screen, then maximised on 1920 x 1080 and on 3840 x 2160 (or only the runs
# named, such as 3840x2160:maximised or 1280x1024:window). Each run drives
# the game through the title, the stage selection, a stage in play, the paused stage, the
# stage with the focus lost, covered wholly by another window, and minimised, and in each situation reads the CPU time of the
# game and of Xvfb from /proc/<pid>/stat over SECONDS seconds (default 10). Prints one table
# row per situation: the share of one core each process used.
#
# A window manager (openbox) runs on the display so that the game is maximised and minimised
# as on a desktop (tools/deps.sh bench installs what the script needs).
set -euo pipefail
cd "$(dirname "$0")/.."
source .ci/xvfb-play.sh
game_binary=$(realpath "${1:-build/release/bin/kestrel}")
seconds=${2:-10}
runs=("${@:3}")
[[ ${#runs[@]} -gt 0 ]] || runs=(1280x1024:window 1920x1080:maximised 3840x2160:maximised)
ticks_per_second=$(getconf CLK_TCK)

xvfb= wm= game= data= other= covering=
cleanup() {
  [[ -n "$covering" ]] && kill "$covering" 2>/dev/null || true
  [[ -n "$other" ]] && kill "$other" 2>/dev/null || true
  [[ -n "$game" ]] && kill "$game" 2>/dev/null || true
  [[ -n "$wm" ]] && kill "$wm" 2>/dev/null || true
  [[ -n "$xvfb" ]] && kill "$xvfb" 2>/dev/null || true
  [[ -n "$data" ]] && rm -rf "$data"
}
trap cleanup EXIT

# Sum of user and system time of a process, in clock ticks.
cpu_ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$1/stat"; }

measure() {  # label: prints one table row
  sleep 2  # let the change settle (cross-fades, the first whole presentation)
  local game_start xvfb_start game_end xvfb_end
  game_start=$(cpu_ticks "$game")
  xvfb_start=$(cpu_ticks "$xvfb")
  sleep "$seconds"
  game_end=$(cpu_ticks "$game")
  xvfb_end=$(cpu_ticks "$xvfb")
  awk -v label="$1" -v g=$((game_end - game_start)) -v x=$((xvfb_end - xvfb_start)) -v hz="$ticks_per_second" \
    -v s="$seconds" 'BEGIN { printf "| %-44s | %6.1f %% | %6.1f %% |\n", label, 100 * g / hz / s, 100 * x / hz / s }'
}

start_display() {  # WIDTHxHEIGHT
  XVFB_SCREEN="${1}x24" start_xvfb
  openbox >/dev/null 2>&1 &
  wm=$!
  sleep 1
}

stop_all() {
  local process
  for process in "$other" "$game" "$wm" "$xvfb"; do
    [[ -n "$process" ]] || continue
    kill "$process" 2>/dev/null || true
    wait "$process" 2>/dev/null || true
  done
  rm -rf "$data"
  other= game= wm= xvfb= data=
}

maximise() { wmctrl -i -r "$window" -b add,maximized_vert,maximized_horz; }
restore() {
  wmctrl -i -r "$window" -b remove,maximized_vert,maximized_horz
  sleep 0.5
}

# Waits for the game's 720 x 540 main window (the loading window comes first, under the same
# name).
find_game_window() {
  local candidate
  for _ in $(seq 600); do
    for candidate in $(xdotool search --onlyvisible --name '^Kestrel$' 2>/dev/null); do
      if xwininfo -id "$candidate" 2>/dev/null | grep -q 'Width: 720' &&
        xwininfo -id "$candidate" 2>/dev/null | grep -q 'Height: 540'; then
        window=$candidate
        return 0
      fi
    done
    sleep 0.1
  done
  echo "no 720 x 540 game window" >&2
  return 1
}

click() {  # x y in the 720 x 540 picture
  xdotool mousemove --window "$window" "$1" "$2"
  sleep 0.3
  xdotool click 1
  sleep 1
}

focus_game() { xdotool windowactivate --sync "$window"; }
# Another program's small window in the screen's corner takes the focus, as when the player
# turns to something else.
focus_elsewhere() {
  if [[ -z "$other" ]]; then
    xmessage -geometry +0+0 -name elsewhere elsewhere >/dev/null 2>&1 &
    other=$!
  fi
  xdotool windowactivate --sync "$(xdotool search --sync --onlyvisible --name '^elsewhere$' | head -n 1)"
}

# A window as large as the screen goes over the game's and takes the focus.
cover_game() {  # screen (WIDTHxHEIGHT)
  xmessage -geometry "$1+0+0" -name covering covering >/dev/null 2>&1 &
  covering=$!
  xdotool windowactivate --sync "$(xdotool search --sync --onlyvisible --name '^covering$' | head -n 1)"
}
uncover_game() {
  kill "$covering"
  wait "$covering" 2>/dev/null || true
  covering=
}

run() {  # screen (WIDTHxHEIGHT), "window" or "maximised"
  local screen=$1 how=$2
  start_display "$screen"
  data=$(mktemp -d)
  "$game_binary" --data-dir "$data" >/dev/null 2>&1 &
  game=$!
  find_game_window
  sleep 2
  focus_game
  local where="720 x 540 window on $screen"
  [[ $how == maximised ]] && where="maximised on $screen"
  # Each situation is reached in the 720 x 540 picture and then maximised when asked, so
  # the clicks land on the same places.
  enter() { [[ $how == maximised ]] && maximise; xdotool mousemove 1 1; }
  leave() { [[ $how == maximised ]] && restore; return 0; }

  enter; measure "title, $where"
  focus_elsewhere
  measure "title, focus lost, $where"
  focus_game
  leave
  click 220 308  # title: Play
  enter; measure "stage selection, $where"; leave
  click 350 190  # difficulty: Normal
  click 352 354  # Start
  click 356 300  # the help page goes away
  enter; measure "play, $where"; leave
  click 164 333  # Pause
  enter; measure "play, paused, $where"
  focus_elsewhere
  measure "play, paused, focus lost, $where"
  cover_game "$screen"
  measure "play, paused, covered, $where"
  uncover_game
  xdotool windowminimize "$window"
  measure "play, minimised, $where"
  stop_all
}

echo "game: $game_binary, ${seconds} s per situation, share of one core"
echo
echo "| situation                                    |   game   |   Xvfb   |"
echo "|----------------------------------------------|----------|----------|"
for screen_and_how in "${runs[@]}"; do
  run "${screen_and_how%%:*}" "${screen_and_how#*:}"
done
