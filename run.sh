#!/usr/bin/env bash
# Builds nuvo_sql when needed and starts it on the embedded DEMO database.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$top/scripts/deps.sh"
nuvo_install_deps
nuvo_build "$top"
if [ -x "$top/build/bin/nuvo_db" ] && ! "$top/build/bin/nuvo_db" list 2>/dev/null | grep -qx DEMO; then
  "$top/build/bin/nuvo_db" create DEMO
fi
exec "$top/build/bin/nuvo_sql" "$@"
