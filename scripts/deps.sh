#!/usr/bin/env bash
# Installs the Debian packages the build needs that are not there yet; quick when all are.
# Usage: scripts/deps.sh [build|test|bench]
set -euo pipefail

build_packages=(
  build-essential cmake ninja-build pkg-config
)
test_packages=(
  googletest libgtest-dev libgmock-dev
)
bench_packages=(
  libbenchmark-dev
)

wanted=("${build_packages[@]}")
case "${1:-build}" in
  test) wanted+=("${test_packages[@]}") ;;
  bench) wanted+=("${bench_packages[@]}") ;;
esac
# Packages a module needs for itself are listed one a line in scripts/packages/<kind>.txt.
here=$(cd "$(dirname "$0")" && pwd)
for list in "$here/packages/build.txt" "$here/packages/${1:-build}.txt"; do
  [ -f "$list" ] && while read -r pkg _; do
    [ -n "$pkg" ] && [ "${pkg:0:1}" != "#" ] && wanted+=("$pkg")
  done < "$list"
done

missing=()
for pkg in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
