#!/usr/bin/env bash
# Runs a command as if in a desktop session with a screen reader running: its
# own session bus, the accessibility bus started on it and switched on the way
# a screen reader does (Status.ScreenReaderEnabled), and an X server.
#   screen_reader_session.sh COMMAND [ARG...]
# Exits with the suite's skip code where the machine has no session bus, no
# accessibility bus or no Xvfb to run it in.
set -euo pipefail
readonly skip_code=${TAVREL_SKIP_CODE:?set by the test suite}

for tool in dbus-run-session dbus-send xvfb-run; do
    if ! command -v "$tool" >/dev/null; then
        echo "skipped: no $tool"
        exit "$skip_code"
    fi
done

runtime_dir=$(mktemp -d)
trap 'rm -rf "$runtime_dir"' EXIT
export XDG_RUNTIME_DIR=$runtime_dir QT_QPA_PLATFORM=xcb

# shellcheck disable=SC2016  # expanded by the inner shell
dbus-run-session -- bash -c '
    set -euo pipefail
    if ! dbus-send --session --print-reply=literal --dest=org.a11y.Bus /org/a11y/bus \
        org.freedesktop.DBus.Properties.Set \
        string:org.a11y.Status string:ScreenReaderEnabled variant:boolean:true >/dev/null; then
        echo "skipped: no accessibility bus to switch on (at-spi2-core)"
        exit "$skip_code"
    fi
    xvfb-run -a -s "-screen 0 1280x1024x24" "$@"' screen-reader-session "$@"
