#!/usr/bin/env bash
# Builds the Debian package, installs it with apt-get into a throw-away Debian 12 root, starts
# it there and removes it again, checking that nothing is left behind. Needs root (chroot,
# mount). The minimal root is made once with debootstrap and kept, with the downloaded
# packages, in $SWATCHBAR_CHROOT_CACHE (default /var/cache/swatchbar-ci).
set -euo pipefail
cd "$(dirname "$0")/.."
[[ $(id -u) -eq 0 ]] || { echo "package-check: run as root (chroot)" >&2; exit 1; }

bash scripts/install-deps.sh --package
cmake --preset package >/dev/null
cmake --build --preset package
rm -f build/package/swatchbar_*.deb
(cd build/package && cpack -G DEB >/dev/null)
debs=(build/package/swatchbar_*_amd64.deb)
deb=${debs[0]}
[[ -f "$deb" ]] || { echo "package-check: cpack made no swatchbar_*_amd64.deb" >&2; exit 1; }
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"

cache=${SWATCHBAR_CHROOT_CACHE:-/var/cache/swatchbar-ci}
mirror=${SWATCHBAR_MIRROR:-http://deb.debian.org/debian}
base="$cache/bookworm-minbase.tar"
mkdir -p "$cache/archives/partial"
root=$(mktemp -d /var/tmp/swatchbar-root.XXXXXX)
chmod 755 "$root" # apt downloads as its own user
mounts=()
cleanup() {
    local m
    for m in "${mounts[@]}"; do umount "$m" 2>/dev/null || umount -l "$m" || true; done
    # Only remove the root once nothing is mounted inside it any more.
    if ! grep -q " $root/" /proc/mounts; then rm -rf "$root"; fi
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

if [[ ! -s "$base" ]]; then
    echo "package-check: making a minimal Debian 12 root (once; kept in $cache)"
    debootstrap --variant=minbase bookworm "$root" "$mirror" >"$cache/debootstrap.log" 2>&1 ||
        fail "debootstrap failed: $(tail -n 5 "$cache/debootstrap.log")"
    tar -C "$root" -cf "$base.tmp" . && mv "$base.tmp" "$base"
    rm -rf "$root" && mkdir "$root"
fi
tar -C "$root" -xf "$base"
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount -t proc proc "$root/proc" && mounts+=("$root/proc")
mount --bind "$cache/archives" "$root/var/cache/apt/archives" &&
    mounts=("$root/var/cache/apt/archives" "${mounts[@]}")
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
    DEBIAN_FRONTEND=noninteractive "$@"; }

cp "$deb" "$root/tmp/"
in_root apt-get update -qq
in_root dpkg-query -W -f='${Package}\n' | sort >"$root/tmp/before.txt"
in_root apt-get install -y -qq "./tmp/$(basename "$deb")" >"$root/tmp/install.log" 2>&1 ||
    fail "apt-get install: $(tail -n 20 "$root/tmp/install.log")"
in_root dpkg-query -W -f='${Package}\n' | sort >"$root/tmp/after.txt"
pulled=$(comm -13 "$root/tmp/before.txt" "$root/tmp/after.txt" | wc -l)
echo "apt-get install pulled in $((pulled - 1)) packages besides swatchbar;" \
    "installed size $(in_root dpkg-query -W -f='${Installed-Size}' swatchbar) KiB"

missing=$(in_root ldd /usr/bin/swatchbar | grep 'not found' || true)
[[ -z "$missing" ]] || fail "libraries not found: $missing"

# The installed program starts and prints its version, without a display.
out=$(in_root swatchbar --version 2>&1) || fail "swatchbar --version failed: $out"
grep -qx "swatchbar $(sed -n 's/^project(Swatchbar VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)" <<<"$out" ||
    fail "swatchbar --version printed: $out"
echo "swatchbar --version: $out"

# With a display stand-in it loads its platform plugin and the palettes folder.
in_root mkdir -p /tmp/home
chroot "$root" env -i PATH=/usr/bin:/bin HOME=/tmp/home QT_QPA_PLATFORM=offscreen \
    XDG_RUNTIME_DIR=/tmp/home swatchbar >"$root/tmp/run.txt" 2>&1 &
app=$!
for ((i = 0; i < 100; i++)); do
    grep -qs "Successfully loaded all(0) color palettes!" "$root/tmp/run.txt" && break
    kill -0 "$app" 2>/dev/null || break
    sleep 0.1
done
kill "$app" 2>/dev/null || true
wait "$app" 2>/dev/null || true
grep -q "Successfully loaded all(0) color palettes!" "$root/tmp/run.txt" ||
    fail "the installed program did not start: $(cat "$root/tmp/run.txt")"

# Removing it leaves no file of the package and no package it pulled in.
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print substr($6, 2)}' >"$root/tmp/files.txt"
in_root apt-get purge -y -qq --autoremove swatchbar >"$root/tmp/purge.log" 2>&1 ||
    fail "apt-get purge: $(tail -n 20 "$root/tmp/purge.log")"
while read -r file; do
    [[ ! -e "$root$file" ]] || fail "$file is left after removal"
done <"$root/tmp/files.txt"
in_root dpkg-query -W -f='${Package}\n' | sort >"$root/tmp/removed.txt"
diff -u "$root/tmp/before.txt" "$root/tmp/removed.txt" || fail "packages left after removal"
echo "PASS: package-check"
