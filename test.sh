#!/usr/bin/env bash
# Installs what is missing, builds the release configuration and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
tools/deps.sh build
cmake --preset release
cmake --build --preset release
ctest --preset release
