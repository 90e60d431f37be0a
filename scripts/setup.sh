#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12; does nothing when all is there.
set -euo pipefail
source "$(dirname "$0")/common.sh"

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

packages=(cmake make g++ googletest mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine32:i386 wine64
          xvfb openbox xdotool x11-utils x11-apps imagemagick python3-xlib procps locales fonts-ipafont-gothic clang libclang-rt-14-dev
          lhasa 7zip libarchive-tools unar jlha-utils fp-utils libchm-bin
          xserver-xephyr libxinerama1:i386 libxrandr2:i386)
for p in "${packages[@]}"; do have_pkg "$p" || need+=("$p"); done

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

if [ ${#need[@]} -gt 0 ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo_cmd[@]}" dpkg --add-architecture i386
  fi
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  if ! grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'ja_JP.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  fi
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi

# Where the kernel runs no 32-bit code, Wine's i386 loader runs through
# qemu-i386 (scripts/i386-namespace.sh).  It must be qemu 10 or later, from
# Debian 12's backports suite: Debian 12's own 7.2 spends minutes in every
# Wine start.  The package holds static programs; without its recommends, no
# binfmt handler of the machine is registered.
# The address of the Debian archive this machine's main suite comes from;
# Debian's own when none is configured.
debian_mirror() {
  local uri
  uri=$(awk '
    FNR == 1 { uris = ""; suites = "" }
    /^[[:space:]]*URIs:/ { uris = $2 }
    /^[[:space:]]*Suites:/ { suites = $0 }
    uris != "" && suites ~ /[[:space:]]bookworm([[:space:]]|$)/ { print uris; exit }
    /^[[:space:]]*$/ { uris = ""; suites = "" }
  ' /etc/apt/sources.list.d/*.sources 2>/dev/null)
  if [ -z "$uri" ]; then
    uri=$(awk '$1 == "deb" && $0 !~ /security/ {
                 for (i = 2; i <= NF; i++) if ($i ~ /^[a-z]+:\/\//) { print $i; exit } }' \
            /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null | head -n1)
  fi
  echo "${uri:-http://deb.debian.org/debian}"
}
qemu_new_enough() {
  local major
  major=$(qemu-i386 --version 2>/dev/null | sed -n '1s/.*version \([0-9]*\)\..*/\1/p')
  [ -n "$major" ] && [ "$major" -ge 10 ]
}
if kb_needs_i386_emulation && ! qemu_new_enough; then
  if ! grep -rqsE '^[^#]*bookworm-backports' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    # The backports come from the mirror the machine's own Debian packages
    # come from (a deb822 source or a one-line sources.list), so a machine
    # with a local mirror keeps using it.
    mirror=$(debian_mirror)
    "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/bookworm-backports.sources >/dev/null <<SOURCES
Types: deb
URIs: $mirror
Suites: bookworm-backports
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
  fi
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    -t bookworm-backports qemu-user >/dev/null
  if ! qemu_new_enough; then
    echo "setup: qemu-i386 10 or later is needed; found: $(qemu-i386 --version 2>&1 | head -n1)" >&2
    exit 1
  fi
fi
if kb_needs_i386_emulation && ! bash "$kb_root/scripts/i386-namespace.sh" /usr/lib/wine/wineserver32 --version >/dev/null 2>&1; then
  echo "setup: this kernel runs no 32-bit code and cannot give a user namespace a" >&2
  echo "binfmt_misc of its own (Linux 6.7 or later), so the 32-bit programs cannot run" >&2
  exit 1
fi
