#!/usr/bin/env bash
# Builds the Debian package of a build tree, checks what it holds, unpacks it into a
# temporary root and runs velomar-batch from there, as the installed program would run.
# lintian, when installed, must find neither errors nor warnings.
# Usage: check-package.sh BUILD_DIR VERSION [CMAKE]
set -euo pipefail
BUILD=$1
VERSION=$2
CMAKE=${3:-cmake}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "ERRORE: $*" >&2; exit 1; }

if ! "$CMAKE" --build "$BUILD" --target package >"$tmp/package.log" 2>&1; then
  cat "$tmp/package.log" >&2
  fail "il pacchetto non è stato creato"
fi
deb=$BUILD/velomar_${VERSION}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "manca $deb"

dpkg-deb -c "$deb" >"$tmp/list"
for f in usr/bin/velomar usr/bin/velomar-batch \
  usr/share/velomar/NewMail.sys usr/share/velomar/NewGruppi.sys usr/share/velomar/StatiEsteri.mdb \
  usr/share/applications/velomar.desktop \
  usr/share/icons/hicolor/128x128/apps/velomar.png usr/share/icons/hicolor/scalable/apps/velomar.svg \
  usr/share/man/man1/velomar.1.gz usr/share/man/man1/velomar-batch.1.gz \
  usr/share/bash-completion/completions/velomar-batch \
  usr/share/doc/velomar/README.md usr/share/doc/velomar/copyright usr/share/doc/velomar/changelog.gz; do
  grep -q " \./$f\$" "$tmp/list" || fail "il pacchetto non contiene /$f"
done
if grep -v ' root/root ' "$tmp/list"; then fail "file non di root"; fi
depends=$(dpkg-deb -f "$deb" Depends)
for dep in fonts-liberation fonts-dejavu-core qt6-translations-l10n qt6-qpa-plugins libqt6widgets6 libmdb3; do
  [[ ", $depends," == *", $dep"[\ ,]* ]] || fail "Depends non contiene $dep: $depends"
done

root=$tmp/root
dpkg-deb -x "$deb" "$root"
for program in velomar velomar-batch; do
  if readelf -d "$root/usr/bin/$program" | grep -E 'RPATH|RUNPATH'; then fail "$program ha un RPATH"; fi
done

# Everything the program writes stays in the temporary folder.
export HOME=$tmp/home XDG_CONFIG_HOME=$tmp/home/.config XDG_DATA_HOME=$tmp/home/.local/share
export QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME"
batch=$root/usr/bin/velomar-batch
[ "$("$batch" --version)" = "Velomar $VERSION" ] || fail "--version: $("$batch" --version)"
"$batch" sample --count 10 "$tmp/x.mdb" >/dev/null
[ -s "$tmp/x.mdb" ] || fail "sample non ha creato l'archivio"
"$batch" count "$tmp/x.mdb" | grep -qw 10 || fail "count non trova 10 indirizzi"
# A user who never started the window: the country table is the package's.
printf 'Cognome,Indirizzo,CAP,Città,Nazione\nDupont,1 rue de Rivoli,75001,Paris,France\n' >"$tmp/estero.csv"
"$batch" sample --count 0 "$tmp/estero.mdb" >/dev/null
imported=$("$batch" import-file "$tmp/estero.csv" "$tmp/estero.mdb" 2>&1) || fail "import-file: $imported"
[[ $imported != *"non trovato"* ]] || fail "import-file: $imported"
"$batch" export "$tmp/estero.mdb" "$tmp/estero.txt" >/dev/null
grep -q FRANCIA "$tmp/estero.txt" || fail "import-file non ha scritto FRANCIA per France"
# The templates are found beside the program, as in /usr: ../share/velomar.
"$batch" install-dir "$XDG_DATA_HOME/Velomar" >/dev/null
cmp "$XDG_DATA_HOME/Velomar/NewMail.sys" "$root/usr/share/velomar/NewMail.sys" ||
  fail "install-dir non ha copiato i modelli del pacchetto"
grep -q '^ProgramDir=' "$XDG_CONFIG_HOME/QZ/Velomar.conf" || fail "ProgramDir non registrato"
# The manual page names every command and option that --help lists.
man=$(zcat "$root/usr/share/man/man1/velomar-batch.1.gz" | sed 's/\\-/-/g; s/\\f[BIR]//g')
for word in $("$batch" --help | grep -oE '^  [a-z][a-z-]+|--[a-z][a-z-]+' | tr -d ' ' | sort -u); do
  grep -qF -- "$word" <<<"$man" || fail "la pagina di manuale non descrive $word"
done

if command -v lintian >/dev/null 2>&1; then
  lintian --fail-on error,warning "$deb" || fail "lintian"
else
  echo "lintian non installato: controllo saltato"
fi
echo "Pacchetto $(basename "$deb") verificato"
