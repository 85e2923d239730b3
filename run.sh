#!/usr/bin/env bash
# Sets Tromel up (packages, build, generated samples and artwork) and starts the editor.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
if [ -x build/bin/tromel ]; then
  exec build/bin/tromel
fi
exec build/bin/tromel-cli --help
