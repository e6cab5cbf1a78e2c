#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Pictures of the keyboard's focus on every screen a keyboard player reaches by hand, taken from
# the real game in a virtual X display: the title, each row of the stage selection, the help
# page, play, the pause panel, both confirmations and game over. The screens that are hard to
# reach by hand (the pop-ups of a chain, stage clear) come from the whole-game test:
#   KESTREL_SCREENS=DIR build/release/bin/test_e2e --gtest_filter='*Pictures*'
# Usage: tools/focus-screens.sh [build directory] [picture folder]   (build/release, build/release/focus-screens)
# Needs the virtual display and tools that `tools/deps.sh ci` installs.
set -euo pipefail
cd "$(dirname "$0")/.."
source .ci/xvfb-play.sh
build=${1:-build/release}
out=${2:-$build/focus-screens}
mkdir -p "$out"
program_dir=$(mktemp -d)
cleanup() {
  # the game is ended before its display goes, or it may spin without one
  if [[ -n "${game:-}" ]]; then
    kill "$game" 2>/dev/null || true
    for _ in $(seq 20); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$game" 2>/dev/null || true
    game=
  fi
  stop_game_and_xvfb
  rm -rf "$program_dir"
}
trap cleanup EXIT
cp -r "$build/bin/kestrel" "$build/bin/librasterkit.so" "$build/bin/main.ini" "$build/bin/images" \
  "$build/bin/sounds" "$program_dir/"
# Thirteen stages open, so that the stage bar and three music choices can be chosen.
printf '[MainSetting]\nL_UserMaxStage=13\nL_UserDefStage=4\nL_UserDefDiff=1\nL_UserDefMusic=2\n' \
  >"$program_dir/UserSettings.ini"

XVFB_SCREEN=800x600x24 start_xvfb
(cd "$program_dir" && SDL_AUDIODRIVER=dummy exec ./kestrel --windowed) &
game=$!
window=$(game_window) || { echo "no 720 x 540 game window appeared" >&2; exit 1; }
xdotool windowfocus --sync "$window" || true
sleep 1.5
key() {
  xdotool key --clearmodifiers "$@"
  sleep 0.7
}
shot() { import -window "$window" "$out/$1.png"; }

key Down; shot title-play          # the first key shows the focus
key Down; shot title-quit
key Up; key Return; sleep 0.5; shot select-start
key Up; shot select-music
key Up; shot select-difficulty
key Up; shot select-stage
key Return; sleep 2; shot play      # from stage 5: no help page first
key Escape; shot pause-resume
key Down; shot pause-new-game
key Return; shot confirm-new-game-no
key Left; shot confirm-new-game-yes
key Escape; sleep 0.3               # no: back to the pause panel
key Down; key Down; shot pause-exit
key Down; key Down; shot pause-web
key Up; key Return; sleep 1; shot help
key Return; sleep 1                 # back to the pause panel
key Down; key Down; key Return; shot confirm-exit-no
key Left; shot confirm-exit-yes
key Right; key Return; sleep 0.3
key Escape; sleep 1                 # play on: the pairs pile up in the entry column
for _ in $(seq 200); do xdotool key --clearmodifiers Down; sleep 0.04; done
sleep 3; key Down; shot game-over
echo "pictures in $out"
