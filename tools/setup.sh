#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing), then configures and
# builds into build/. Sourced by run-editor and run-tests with the package list to check.
set -euo pipefail

mr640_install() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
}

mr640_build() {
    cmake -S . -B build -G Ninja "$@"
    cmake --build build
}

MR640_BUILD_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev libqt6sql6-sqlite libgl-dev libgit2-dev)
# run-editor makes the labels database with it.
MR640_EDITOR_PACKAGES=(sqlite3)
MR640_TEST_PACKAGES=(libgtest-dev libgmock-dev libx11-dev xvfb xdotool xclip x11-utils imagemagick sqlite3 at-spi2-core
    desktop-file-utils shared-mime-info
    poppler-utils fonts-dejavu-core cups printer-driver-cups-pdf lintian git dbus python3-dbusmock
    openssh-server openssh-client)
# bench/run and fuzz/run (called by .ci/run) install these on top of the build packages.
MR640_BENCH_PACKAGES=(libx11-dev xvfb libbenchmark-dev)
MR640_FUZZ_PACKAGES=(clang-14 libclang-rt-14-dev)
