#!/usr/bin/env bash
# Installs the Debian packages that building (and, with --test, testing) Swatchbar needs.
# Only what is missing is installed; sudo is used when not running as root.
set -euo pipefail

packages=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools
          qt6-qpa-plugins libgl-dev libsimdjson-dev libxcb1-dev dpkg-dev file
          qt6-l10n-tools qt6-tools-dev qt6-translations-l10n)
if [[ "${1:-}" == "--test" ]]; then
    # The end-to-end tests drive a real X server with a tray host, clicks and the clipboard.
    packages+=(xvfb xauth xdotool xclip tint2 x11-utils x11-xserver-utils imagemagick
              fonts-dejavu-core python3 openbox
              desktop-file-utils appstream man-db
              # The Wayland end-to-end test: headless sway, waybar's tray, a virtual pointer.
              qt6-wayland sway waybar grim wl-clipboard dbus-daemon dbus-bin
              libwayland-dev
              # Translated windows are checked in German and Japanese.
              fonts-noto-cjk
              # The sync test keeps two palettes folders in step with two local Syncthing instances.
              syncthing curl jq)
fi
if [[ "${1:-}" == "--package" ]]; then
    # scripts/package-check.sh installs the package into a throw-away Debian root.
    packages+=(debootstrap)
fi
if [[ "${1:-}" == "--bench" ]]; then
    packages+=(libbenchmark-dev xvfb xauth tint2 clang libclang-rt-14-dev x11-utils x11-xserver-utils xdotool xclip imagemagick
              valgrind strace linux-perf)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)
echo "Installing: ${missing[*]}" >&2
# sudo drops most of the environment, so the frontend setting goes through env.
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >&2
