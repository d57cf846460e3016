#!/usr/bin/env bash
# Starts Gleisora in a demo Wine prefix of its own (<build>/demo-prefix) with a program
# folder C:\Gleisora and, when the fixtures are built, two simulator installations
# (full edition and demo). It runs the shipped 32-bit program (<build>/release) where
# 32-bit Wine starts programs, else the 64-bit test build (<build>/win64), and says
# which. With a DISPLAY it simply runs; without one it runs under a private Xvfb,
# saves a screenshot to <build>/gleisora.png, prints its path and ends.
# With --docs as second argument it also refreshes docs/screenshot.png (the window only).
set -u
B=$(cd "${1:-build}" && pwd)
docs=0
[ "${2:-}" = --docs ] && docs=1
here=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${GLEISORA_WINE_SESSION:-}" ]; then
  exec "$here/scripts/wine-session.sh" --prefix "$B/demo-prefix" --screen 1024x768x24 -- \
    "$0" "$@"
fi
# The stand-in simulator and components must have the program's bitness, and a 32-bit
# program sees the 32-bit registry view.
if [ -z "$GLEISORA_NO_WINE32" ] && [ -f "$B/release/Gleisora.exe" ]; then
  exe=$B/release/Gleisora.exe bits=32 fixtures=("$B/win32/fixtures")
else
  [ -n "$GLEISORA_NO_WINE32" ] && echo "run-demo: $GLEISORA_NO_WINE32"
  exe=$B/win64/Gleisora.exe bits=64 fixtures=("$B/win64/fixtures" "$B/fixtures")
fi
if [ ! -f "$exe" ]; then
  echo "run-demo: $exe is missing (make program win64)" >&2
  exit 1
fi
echo "run-demo: running $exe ($bits-bit)"
if [ ! -f "$WINEPREFIX/.gleisora-demo" ]; then
  # Without a window manager Wine draws the frames itself, so screenshots show captions.
  "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
  touch "$WINEPREFIX/.gleisora-demo"
fi

drive_c=$WINEPREFIX/drive_c
prog=$drive_c/Gleisora
mkdir -p "$prog"
cp -f "$exe" "$prog/Gleisora.exe"
cp -f "$(dirname "$exe")/DEFAULT.ini" "$prog/DEFAULT.ini" 2>/dev/null

reg_add() {  # key value data
  "$WINE" reg add "$1" /v "$2" /t REG_SZ /d "$3" /f /reg:$bits >/dev/null 2>&1
}

# Two installations of the stand-in simulator, when the fixtures are built.
eep=""
for d in "${fixtures[@]}"; do
  for f in "$d/eep.exe" "$d"/*/eep.exe; do
    [ -f "$f" ] && { eep=$f; break 2; }
  done
done
if [ -n "$eep" ]; then
  eep_dir=$(dirname "$eep")
  for inst in "EEP6" "EEP6 Demo"; do
    mkdir -p "$drive_c/Programme/$inst/Resourcen"
    cp -f "$eep" "$drive_c/Programme/$inst/eep.exe"
    # The test component stands in for the simulator's own components.
    for dll in "$eep_dir"/components/comp_a.dll; do
      [ -f "$dll" ] && cp -f "$dll" "$drive_c/Programme/$inst/"
    done
  done
  # Definition files of the stand-in's version lie beside the program.
  for def in "$here"/app/demo/EEP*.ini; do
    [ -f "$def" ] && cp -f "$def" "$prog/"
  done
  reg_add 'HKCR\Software\Software Untergrund\EEXP' AppPath 'C:\Programme\EEP6\eep.exe'
  reg_add 'HKCR\Software\Software Untergrund\EEXP' ResBase 'C:\Programme\EEP6\Resourcen'
  reg_add 'HKCR\Software\Software Untergrund Demo\EEXP' AppPath 'C:\Programme\EEP6 Demo\eep.exe'
  reg_add 'HKCR\Software\Software Untergrund Demo\EEXP' ResBase 'C:\Programme\EEP6 Demo\Resourcen'
  # A catalogue that knows both installations (the full edition is the active one).
  if [ ! -f "$prog/Gleisora.ini" ]; then
    printf '%s\r\n' '[Settings]' 'Count=2' \
      '[EEP_1]' 'Description=EEP 6' 'AppDir=C:\Programme\EEP6' \
      'AppPath=C:\Programme\EEP6\eep.exe' 'ResBase=C:\Programme\EEP6\Resourcen' 'RegType=EEP6003' \
      '[EEP_2]' 'Description=EEP 6 Demo' 'AppDir=C:\Programme\EEP6 Demo' \
      'AppPath=C:\Programme\EEP6 Demo\eep.exe' 'ResBase=C:\Programme\EEP6 Demo\Resourcen' \
      'RegType=EEP6003D' > "$prog/Gleisora.ini"
  fi
else
  echo "run-demo: no stand-in simulator in ${fixtures[0]}; starting with an empty catalogue"
fi

if [ "$GLEISORA_HEADLESS" = 0 ]; then
  "$WINE" 'C:\Gleisora\Gleisora.exe'
  exit 0
fi

"$WINE" 'C:\Gleisora\Gleisora.exe' >/dev/null 2>&1 &
# Wait for the main window, a top-level X window of the program.
shot=$B/gleisora.png
found=0
for _ in $(seq 60); do
  sleep 0.5
  if xwininfo -root -tree 2>/dev/null | grep -q '("gleisora.exe"'; then
    found=1
    break
  fi
done
if [ $found = 0 ]; then
  echo "run-demo: the window did not appear" >&2
  exit 1
fi
sleep 1.5  # let it paint
import -window root "$shot"
echo "$shot"
if [ $docs = 1 ]; then
  # The desktop is black: trimming it leaves the window.
  mkdir -p "$here/docs"
  convert "$shot" -trim +repage "$here/docs/screenshot.png"
  echo "$here/docs/screenshot.png"
fi
