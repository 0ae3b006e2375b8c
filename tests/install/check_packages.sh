#!/usr/bin/env bash
# The Debian packages as a user gets them:
#  - CPack builds the four packages from the build;
#  - lintian finds no error in them;
#  - every dependency they name is a Debian package of this system;
#  - dpkg installs them into a clean root (no chroot: --root), and the
#    programs run from there: --version, the manual pages, and a short demo
#    run from a home folder that is not a working folder.
set -euo pipefail
BUILD_DIR="$(cd "$1" && pwd)"
VERSION="$2"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

(cd "$BUILD_DIR" && cpack -G DEB -B "$WORK/packages" > "$WORK/cpack.log" 2>&1) || { cat "$WORK/cpack.log"; fail "cpack"; }
PACKAGES=(vexamark libvexamark0 libvexamark-dev vexamark-data)
for p in "${PACKAGES[@]}"; do
  ls "$WORK/packages/${p}_${VERSION}_"*.deb > /dev/null 2>&1 || fail "no package $p"
done

# lintian's errors (warnings and notes are allowed).
lintian --fail-on error "$WORK/packages/"*.deb > "$WORK/lintian.log" 2>&1 \
  || { cat "$WORK/lintian.log"; fail "lintian reports errors"; }

# Dependencies are names of Debian packages (our own four aside).
for deb in "$WORK/packages/"*.deb; do
  depends="$(dpkg-deb -f "$deb" Depends)"
  for name in $(echo "$depends" | tr ',|' '\n\n' | sed -e 's/(.*)//' -e 's/ //g' | sort -u); do
    case " ${PACKAGES[*]} " in *" $name "*) continue ;; esac
    dpkg-query -W "$name" > /dev/null 2>&1 || apt-cache show "$name" > /dev/null 2>&1 \
      || fail "$(basename "$deb") depends on $name, which is no Debian package here"
  done
done

# A clean root for dpkg.
ROOT="$WORK/root"
mkdir -p "$ROOT/var/lib/dpkg/info" "$ROOT/var/lib/dpkg/updates" "$ROOT/var/lib/dpkg/triggers"
touch "$ROOT/var/lib/dpkg/status" "$ROOT/var/lib/dpkg/available"
dpkg --root="$ROOT" --log=/dev/null --force-depends --force-script-chrootless --force-not-root \
  -i "$WORK/packages/"*.deb > "$WORK/dpkg.log" 2>&1 || { cat "$WORK/dpkg.log"; fail "dpkg -i"; }
for p in "${PACKAGES[@]}"; do
  dpkg --root="$ROOT" --force-not-root -s "$p" | grep -q "^Status: install ok installed" || fail "$p not installed"
done

export LD_LIBRARY_PATH="$ROOT/usr/lib:$ROOT/usr/lib/x86_64-linux-gnu"
test "$("$ROOT/usr/bin/Vexamark_basic" --version)" = "Vexamark_basic $VERSION" || fail "--version"
for program in Vexamark_basic vexamark-marker vexamark-synth vexamark-calibrate vexamark-check; do
  page="$ROOT/usr/share/man/man1/$program.1.gz"
  test -s "$page" || fail "no manual page for $program"
  if command -v man > /dev/null; then
    MANWIDTH=80 man --warnings -l "$page" > /dev/null 2> "$WORK/man.log"
    test ! -s "$WORK/man.log" || { cat "$WORK/man.log"; fail "the manual page of $program has faults"; }
  fi
done

# The desktop viewer, where it was built: the program, its launcher, menu
# entry, icon, help pages and manual pages.
if [ -e "$BUILD_DIR/desktop/VexamarkMFC" ]; then
  test "$("$ROOT/usr/bin/VexamarkMFC" --version)" = "VexamarkMFC $VERSION" || fail "VexamarkMFC --version"
  test "$("$ROOT/usr/bin/vexamark" --version)" = "VexamarkMFC $VERSION" || fail "vexamark --version"
  for file in share/applications/vexamark.desktop share/icons/hicolor/scalable/apps/vexamark.svg \
              "share/vexamark/Help Documents/HelpFile.html" "share/vexamark/Help Documents/Quick Start Guide.html" \
              share/man/man1/VexamarkMFC.1.gz share/man/man1/vexamark.1.gz; do
    test -s "$ROOT/usr/$file" || fail "no $file"
  done
  if command -v desktop-file-validate > /dev/null; then
    desktop-file-validate "$ROOT/usr/share/applications/vexamark.desktop" || fail "the menu entry is not valid"
  fi
  if command -v man > /dev/null; then
    MANWIDTH=80 man --warnings -l "$ROOT/usr/share/man/man1/VexamarkMFC.1.gz" > /dev/null 2> "$WORK/man.log"
    test ! -s "$WORK/man.log" || { cat "$WORK/man.log"; fail "the manual page of VexamarkMFC has faults"; }
  fi
fi

# The viewer from a home folder: the user's working folder comes from the
# installed content set.
mkdir -p "$WORK/home"
cd "$WORK/home"
HOME="$WORK/home" XDG_DATA_HOME="" XDG_CONFIG_HOME="" VEXAMARK_NONINTERACTIVE=1 \
  "$ROOT/usr/bin/Vexamark_basic" -frames: 60 -video: Videos/demo.mp4 > "$WORK/run.log" 2>&1 \
  || { cat "$WORK/run.log"; fail "the demo run"; }
USER_FOLDER="$WORK/home/.local/share/vexamark"
grep -q "MSG    0 Working folder: $USER_FOLDER (the user's working folder)" "$USER_FOLDER/Data/messageLog.txt" \
  || fail "the log does not name the user's working folder"
grep -q "VexaBox :Init : Complete" "$USER_FOLDER/Data/messageLog.txt" || fail "the engine did not start"
test -s "$USER_FOLDER/Data/VexaSettings.tsf" || fail "no settings written"
echo "package check passed"
