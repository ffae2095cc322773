#!/bin/sh
# Runs one test program with a home of its own: HOME and the XDG data, config and cache
# folders point into a fresh temporary folder, removed when the program has ended, so that
# nothing a test writes (the user profile above all) can reach the real home folder.
#   own_home.sh program [arguments...]
set -u
if [ "$#" -eq 0 ]; then
  echo "usage: own_home.sh program [arguments...]" >&2
  exit 2
fi
own=$(mktemp -d "${TMPDIR:-/tmp}/kalo-test-home.XXXXXX") || {
  echo "own_home.sh: cannot make a temporary home folder" >&2
  exit 125
}
HOME=$own/home
XDG_DATA_HOME=$HOME/.local/share
XDG_CONFIG_HOME=$HOME/.config
XDG_CACHE_HOME=$HOME/.cache
export HOME XDG_DATA_HOME XDG_CONFIG_HOME XDG_CACHE_HOME
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" || exit 125
# A GL shader cache in a folder removed after the program is never read again; writing it
# would only start the driver's cache threads (whose barriers ThreadSanitizer reports as
# races inside the uninstrumented driver).
MESA_SHADER_CACHE_DISABLE=true
export MESA_SHADER_CACHE_DISABLE
# In the foreground, not exec'd: the folder is removed afterwards, and the program keeps
# the signal dispositions it was given (a background job would start with SIGINT ignored).
"$@"
status=$?
rm -rf "$own"
exit "$status"
