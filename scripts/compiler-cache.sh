#!/usr/bin/env bash
# Sourced by the build scripts: sets cache_args, the cmake arguments that compile
# through ccache (scripts/ccache-compile) when it is installed, as scripts/install-deps.sh
# does; empty without it.
cache_args=()
if command -v ccache >/dev/null 2>&1; then
  launcher="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/ccache-compile"
  cache_args=(-DCMAKE_CXX_COMPILER_LAUNCHER="$launcher" -DCMAKE_C_COMPILER_LAUNCHER="$launcher")
fi
