#!/usr/bin/env bash
# A folder never includes one on a higher floor: common, then settings, then archive,
# then the subsystems (addresses, groups, printing, exchange, side by side), then shell.
# The subsystems' windows never include one another's: they are linked in the shell.
set -euo pipefail
cd "${1:?uso: check-layers.sh CARTELLA_SORGENTI}"
floor() {
  case $1 in
    common) echo 0 ;; settings) echo 1 ;; archive) echo 2 ;;
    addresses | groups | printing | exchange) echo 3 ;; shell) echo 4 ;; *) echo -1 ;;
  esac
}
bad=0
for dir in common settings archive addresses groups printing exchange shell; do
  own=$(floor "$dir")
  while IFS=: read -r file target; do
    if [ "$(floor "$target")" -gt "$own" ]; then
      echo "$file include $target/ (piano più alto)" >&2
      bad=1
    fi
  done < <(grep -rEo '#include "[a-z]+/' "$dir" --include='*.cpp' --include='*.h' |
    sed -E 's/#include "([a-z]+)\//\1/')
done
for dir in addresses groups printing exchange; do
  while IFS=: read -r file target; do
    if [ "$target" != "$dir" ]; then
      echo "$file include $target/ui/ (finestre di un altro sottosistema)" >&2
      bad=1
    fi
  done < <(grep -rEo '#include "(addresses|groups|printing|exchange)/ui/' "$dir/ui" --include='*.cpp' --include='*.h' |
    sed -E 's/#include "([a-z]+)\/ui\//\1/')
done
exit $bad
