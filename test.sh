#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds the release configuration and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
tools/deps.sh build
# CI builds treat every compiler warning as an error.
cmake --preset release ${CI:+-DCMAKE_COMPILE_WARNING_AS_ERROR=ON}
cmake --build --preset release
ctest --preset release
