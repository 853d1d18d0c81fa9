#!/bin/sh
# The adapter's systemd unit as systemd reads it, with ExecStart naming the built talvo-cli:
# any complaint fails. Without systemd-analyze there is nothing to ask (skipped).
# usage: verify_adapter_unit.sh UNIT.in TALVO_CLI
command -v systemd-analyze >/dev/null 2>&1 || exit 77
dir=$(mktemp -d) || exit 1
trap 'rm -rf "$dir"' EXIT
sed "s|@TALVO_CLI_PATH@|$2|" "$1" > "$dir/talvo-adapter@.service" || exit 1
cd "$dir" || exit 1
# The man page is checked where it is installed; here it is not.
complaints=$(systemd-analyze verify --man=no "$dir/talvo-adapter@mill-1.service" 2>&1)
status=$?
[ -z "$complaints" ] || { printf '%s\n' "$complaints"; exit 1; }
exit $status
