#!/usr/bin/env bash
# Installs, only where missing and without questions, every Debian package the editor,
# its tests and its benchmarks need, and any packages named as arguments (tools that one
# script alone wants, such as the editors the start-up benchmark compares with). Safe to
# run again.
set -euo pipefail

packages=(
  g++ cmake make pkg-config ccache clang libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 qt6-qpa-plugins qt6-translations-l10n
  libgl-dev libxkbcommon-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool xclip x11-xkb-utils x11-utils imagemagick openbox python3
  fonts-dejavu-core fonts-dejavu-extra fonts-freefont-ttf fonts-stix fonts-wqy-microhei fonts-symbola
  texlive-latex-base texlive-lang-cyrillic texlive-fonts-recommended
  texlive-latex-extra texlive-pictures texlive-science
  libuchardet-dev
  qt6-pdf-dev libsynctex-dev latexmk cm-super-minimal
  hunspell-ru libnuspell-dev libhunspell-dev hunspell
  libbtparse-dev
  dpkg-dev file desktop-file-utils appstream
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo_cmd apt-get update -qq
  $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
  echo "setup: all packages present"
fi
