#!/bin/sh
# Builds the midlet files that the tool embeds into every package: the canvases, both
# TBookMIDlet variants, point.png and logo.png, each padded to its fixed size.
# The same sources give the same bytes on every run.
#
# Usage: scripts/build_midlet.sh [OUTPUT_FOLDER]   (default: engine/embedded)
# Needs ecj, proguard (6.x) and python3.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
midlet=$root/midlet
out=${1:-$root/engine/embedded}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Java ME source level; no debug information, so nothing depends on file paths.
compile() {  # compile DEST BOOTCLASSPATH SOURCES...
  dest=$1 boot=$2
  shift 2
  mkdir -p "$dest"
  ecj -source 1.3 -target 1.1 -g:none -nowarn -encoding UTF-8 \
      -bootclasspath "$boot" -classpath "$dest" -d "$dest" "$@"
}

sources() {  # the .java files under the given folders, in a fixed order
  find "$@" -name '*.java' | LC_ALL=C sort
}

# CLDC 1.0 + MIDP 1.0 signatures, plus the two optional APIs.
mkdir -p "$work/none"
compile "$work/api" "$work/none" $(sources "$midlet/stubs/cldc" "$midlet/stubs/midp")
compile "$work/nokia" "$work/api" $(sources "$midlet/stubs/nokia")
compile "$work/midp2" "$work/api" $(sources "$midlet/stubs/midp2")

# Each variant with the shared classes; the canvases must compile against both.
common=$midlet/src/common
for variant in text photo; do
  classes=$work/$variant
  compile "$classes" "$work/api" "$common/TBookCanvasInit.java" "$common/TBookCanvas.java" \
      "$midlet/src/$variant/TBookMIDlet.java"
  compile "$classes" "$work/nokia:$work/api" "$common/TBookN1Canvas.java"
  compile "$classes" "$work/midp2:$work/api" "$common/TBookN2Canvas.java"
done
for class in TBookCanvasInit TBookCanvas TBookN1Canvas TBookN2Canvas; do
  if ! cmp -s "$work/text/$class.class" "$work/photo/$class.class"; then
    echo "build_midlet: $class differs between the text and photo variants" >&2
    exit 1
  fi
done

# Preverification (CLDC StackMap attributes) by ProGuard; nothing shrunk, optimised or renamed.
preverify() {  # preverify OUT LIBRARIES INPUT
  if ! proguard -microedition -dontshrink -dontoptimize -dontobfuscate -dontnote \
      -dontskipnonpubliclibraryclassmembers \
      -injars "$3" -outjars "$1" -libraryjars "$2" >"$work/proguard.log" 2>&1; then
    cat "$work/proguard.log" >&2
    exit 1
  fi
}
shared="TBookCanvasInit.class,TBookCanvas.class,TBookN1Canvas.class"
preverify "$work/pv-text" "$work/nokia:$work/api" "$work/text(TBookMIDlet.class,$shared)"
preverify "$work/pv-n2" "$work/midp2:$work/api:$work/text(TBookMIDlet.class,TBookCanvasInit.class)" \
    "$work/text(TBookN2Canvas.class)"
preverify "$work/pv-photo" "$work/api" "$work/photo(TBookMIDlet.class,TBookCanvasInit.class,TBookCanvas.class)"

python3 "$midlet/tools/icons.py" "$work"

# Name, file and size of every embedded file.
status=0
while read -r name file size; do
  mkdir -p "$(dirname "$out/$name")"
  cp "$work/$file" "$out/$name"
  python3 "$midlet/tools/pad.py" "$out/$name" "$size" || status=1
done <<EOF
point.png point.png 264
logo.png logo.png 407
TBookCanvas.class pv-text/TBookCanvas.class 799
TBookN1Canvas.class pv-text/TBookN1Canvas.class 825
TBookN2Canvas.class pv-n2/TBookN2Canvas.class 864
TBookCanvasInit.class pv-text/TBookCanvasInit.class 225
text/TBookMIDlet.class pv-text/TBookMIDlet.class 35407
photo/TBookMIDlet.class pv-photo/TBookMIDlet.class 8597
EOF
exit $status
