#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, as root. Safe to run again: it only
# installs what is missing.
set -euo pipefail

packages=(
    cmake ninja-build g++ clang-format
    clang-14 libclang-rt-14-dev valgrind
    googletest libgtest-dev
    g++-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
    libtomlplusplus-dev libcli11-dev
    wine wine32:i386
)

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi

missing=()
for package in "${packages[@]}"; do
    # dpkg-query fails for a package it has never seen: that one is missing too.
    if ! status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null) ||
        [ "$status" != installed ]; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq "${missing[@]}" >/dev/null
fi
