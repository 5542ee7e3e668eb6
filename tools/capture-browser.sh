#!/bin/sh
# Stands in for a web browser under Wine: appends each URL it is asked to open
# to $QX_BROWSER_LOG (default: browser-urls.log in the Wine prefix).
log=${QX_BROWSER_LOG:-${WINEPREFIX:-/tmp}/browser-urls.log}
for url in "$@"; do printf '%s\n' "$url" >>"$log"; done
