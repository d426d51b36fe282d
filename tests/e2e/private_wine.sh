# Sourced by the tests that run Windows programs on their own X server:
# use_private_wine_prefix DIR makes a prefix of its own in DIR (its own
# registry and so its own wineserver, sharing the files of $WINEPREFIX), so
# that Wine's desktop is created on this test's X server and not on whatever
# display another test's wineserver started with. end_private_wine ends that
# wineserver, and with it only the Windows processes of this test.
private_wineserver=""

use_private_wine_prefix() {
  local base=${WINEPREFIX:?WINEPREFIX must name a prepared prefix} dir=$1 file
  mkdir -p "$dir"
  for file in system.reg user.reg userdef.reg .update-timestamp; do
    [ -f "$base/$file" ] && cp "$base/$file" "$dir/"
  done
  cp -a "$base/dosdevices" "$dir/"
  ln -s "$(cd "$base" && pwd)/drive_c" "$dir/drive_c"
  export WINEPREFIX=$dir
  private_wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
  # A persistent server keeps the desktop between the programs a test runs.
  # Its services start here, with nothing of the test's output to hold open.
  "$private_wineserver" -p
  "$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)" cmd /c exit \
    </dev/null >/dev/null 2>&1 || true
}

end_private_wine() {
  [ -n "$private_wineserver" ] || return 0
  "$private_wineserver" -k 2>/dev/null
  "$private_wineserver" -w 2>/dev/null
  return 0
}
