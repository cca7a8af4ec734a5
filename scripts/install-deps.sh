#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need; only what is missing,
# so a second run costs one dpkg query.
set -euo pipefail
packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6serialport6-dev
  # lupdate and lrelease, and their CMake commands: the translation catalogue and its tests.
  qt6-l10n-tools qt6-tools-dev
  libgtest-dev googletest libmodbus-dev
  # Tests reach a unit through socat, a serial server of a pseudo-terminal.
  socat
  # The records repository, written in-process.
  libgit2-dev
  # The records' server over ssh: a real sshd on the loopback in the tests and the benchmark.
  openssh-server openssh-client
  # The records' index checksum (OpenSSL's SHA-1).
  libssl-dev
  fonts-dejavu-core
  # The reports ask for Arial: fontconfig serves its metric twin, embedded in every PDF.
  fonts-liberation2
  # Qt's own texts (the standard buttons) in the language of the pack.
  qt6-translations-l10n
  # Tests read the reports back with an independent PDF reader.
  poppler-utils
  # The Debian package (dpkg-shlibdeps) and the checks of what gets installed.
  dpkg-dev file man-db desktop-file-utils appstream
)
if [ "${1:-}" = "--gui" ]; then
  packages+=(xvfb xauth)
fi
# Only for scripts/fuzz.sh: clang with libFuzzer and its sanitizer runtimes.
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang-14 libclang-rt-14-dev)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get install -y -qq "${missing[@]}" </dev/null || {
  $SUDO apt-get update -qq </dev/null
  $SUDO apt-get install -y -qq "${missing[@]}" </dev/null
}
