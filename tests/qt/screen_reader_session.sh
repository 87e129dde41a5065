#!/usr/bin/env bash
# Runs a command as if in a desktop session with a screen reader running: its
# own session bus, the accessibility bus started on it and switched on the way
# a screen reader does (Status.ScreenReaderEnabled), and an X server.
#   screen_reader_session.sh COMMAND [ARG...]
set -euo pipefail

runtime_dir=$(mktemp -d)
trap 'rm -rf "$runtime_dir"' EXIT
export XDG_RUNTIME_DIR=$runtime_dir QT_QPA_PLATFORM=xcb

# shellcheck disable=SC2016  # expanded by the inner shell
dbus-run-session -- bash -c '
    set -euo pipefail
    dbus-send --session --print-reply=literal --dest=org.a11y.Bus /org/a11y/bus \
        org.freedesktop.DBus.Properties.Set \
        string:org.a11y.Status string:ScreenReaderEnabled variant:boolean:true >/dev/null
    xvfb-run -a -s "-screen 0 1280x1024x24" "$@"' screen-reader-session "$@"
