#!/usr/bin/env bash
# Installs everything the build and the tests need on a fresh Debian machine, from Debian's packages alone. Safe to
# run again: it only asks apt for what is missing. Both architectures' packages are installed on every machine: the
# 32-bit client is built everywhere, and wine32 installs even where 32-bit programs cannot run (wine64 runs there).
set -euo pipefail

packages=(
    cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev
    g++-mingw-w64-i686-posix binutils-mingw-w64-i686 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wine wine32:i386 wine64 xvfb xauth xcompmgr x11-apps x11-utils imagemagick python3-pil
    fonts-wqy-zenhei fonts-dejavu-core locales openbox wmctrl xdotool osslsigncode openssl
)

sudo_if_needed() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
# Another apt or dpkg (an unattended upgrade, a second setup) holds the lock for a while: wait for it instead of
# failing at once.
apt_get() { sudo_if_needed env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 "$@"; }

# An install that was interrupted leaves packages half configured, and every later apt-get refuses to go on.
if [ -n "$(dpkg --audit 2>/dev/null)" ]; then
    echo "setup: finishing an interrupted install (dpkg --configure -a)"
    sudo_if_needed env DEBIAN_FRONTEND=noninteractive dpkg --configure -a
fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    sudo_if_needed dpkg --add-architecture i386
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    apt_get update -qq
    # Wine's packages ask nothing, but a fresh machine may have no answers stored for debconf.
    apt_get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
echo "setup: all packages present"

# The Chinese locale the text tests run under a second time. Wine takes its code page from LC_ALL even without it,
# but it names files in the Linux locale's character set: without the locale, a Chinese file name cannot be made.
if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
    echo "setup: generating the zh_CN.UTF-8 locale"
    sudo_if_needed sed -i -E 's/^# *(zh_CN.UTF-8 UTF-8)/\1/' /etc/locale.gen
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | sudo_if_needed tee -a /etc/locale.gen >/dev/null
    sudo_if_needed locale-gen >/dev/null
fi
