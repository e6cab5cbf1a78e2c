#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds the game and starts it.
set -euo pipefail
cd "$(dirname "$0")"
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "No display found: set DISPLAY (or run under xvfb-run) to play." >&2
  exit 1
fi
tools/deps.sh play
cmake --preset release >/dev/null
cmake --build --preset release --target kestrel
exec build/release/bin/kestrel
