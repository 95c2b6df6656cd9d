#!/bin/sh
# Runs a test program under a locale that writes decimals with a comma (German), so that no
# number the simulation reads or writes can come to depend on the desktop's language. The
# locale is generated into the build folder when the machine has none installed.
set -eu
program=$1
dir=$(dirname "$program")/comma-locale
name=de_DE.UTF-8
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  if [ ! -d "$dir/$name" ]; then
    mkdir -p "$dir"
    localedef -i de_DE -f UTF-8 "$dir/$name"
  fi
  LOCPATH=$dir
  export LOCPATH
fi
PELASIM_TEST_LOCALE=$name exec "$program" --gtest_brief=1
