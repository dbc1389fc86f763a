#!/bin/sh
# Runs a Windows link (the command line follows) so that the PE header's time
# stamp does not depend on when it runs: GNU ld writes SOURCE_DATE_EPOCH when
# that is set, and without it the current time unless told to write none.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    exec "$@" -Wl,--no-insert-timestamp
fi
exec "$@"
