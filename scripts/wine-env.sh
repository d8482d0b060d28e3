# Sourced: the Wine environment of every test and run (a prefix of our own, Chinese locale).
root=${root:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX=${TIDEMOOR_WINEPREFIX:-$root/build/wineprefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LANG=${TIDEMOOR_LANG:-zh_CN.UTF-8}
export LC_ALL=$LANG
# What a test sends to the Recycle Bin lands in Wine's trash: kept in the build tree, not the
# user's own.
export XDG_DATA_HOME=$root/build/xdg-data
mkdir -p "$XDG_DATA_HOME"
