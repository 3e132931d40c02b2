#!/usr/bin/env bash
# Signs Windows programs (Authenticode, SHA-256) with the publisher's code-signing certificate, so
# that Windows names the publisher in the administrator prompt instead of "unknown publisher".
#
#   scripts/sign.sh FILE...
#
# The certificate and its key come from the environment, never from the repository:
#   VELSETUP_SIGN_PFX        the PKCS#12 file (.pfx/.p12) with the certificate, its key and chain
#   VELSETUP_SIGN_PASSWORD   its password (handed to osslsigncode through a pipe, never on a
#                            command line that other users could read)
#   VELSETUP_SIGN_TIMESTAMP  optional: the address of an RFC 3161 time-stamp server; a time-stamped
#                            signature stays valid after the certificate expires
#   VELSETUP_SIGN_NAME       optional: the program's name in the signature
#                            (default "Instalace software VELMOR", the exe's FileDescription)
#   VELSETUP_SIGN_URL        optional: the publisher's address (default https://www.velmor.cz/)
# Without VELSETUP_SIGN_PFX nothing is signed: the files stay as they are and the script says so
# (exit status 0, so a build without a certificate still succeeds). Each file is signed into a
# copy that replaces it only when signing succeeded; a file signed before gets a fresh signature.
set -euo pipefail

if [ $# -lt 1 ]; then
  echo "usage: $0 FILE..." >&2
  exit 2
fi
if [ -z "${VELSETUP_SIGN_PFX:-}" ]; then
  for file in "$@"; do
    echo "sign: VELSETUP_SIGN_PFX is not set: $(basename "$file") stays unsigned"
  done
  exit 0
fi
if [ ! -r "$VELSETUP_SIGN_PFX" ]; then
  echo "sign: cannot read the certificate file VELSETUP_SIGN_PFX=$VELSETUP_SIGN_PFX" >&2
  exit 1
fi
if ! command -v osslsigncode >/dev/null; then
  echo "sign: osslsigncode is missing (bash scripts/deps.sh installs it)" >&2
  exit 1
fi

name=${VELSETUP_SIGN_NAME:-Instalace software VELMOR}
url=${VELSETUP_SIGN_URL:-https://www.velmor.cz/}
timestamp=()
[ -n "${VELSETUP_SIGN_TIMESTAMP:-}" ] && timestamp=(-ts "$VELSETUP_SIGN_TIMESTAMP")

status=0
for file in "$@"; do
  if [ ! -f "$file" ]; then
    echo "sign: there is no file $file" >&2
    status=1
    continue
  fi
  work=$(mktemp -d "$(dirname "$file")/.sign.XXXXXX")
  input=$file
  # osslsigncode would add a second signature beside the first: the old one goes first.
  if osslsigncode extract-signature -in "$file" -out "$work/old.sig" >/dev/null 2>&1; then
    osslsigncode remove-signature -in "$file" -out "$work/unsigned" >/dev/null
    input=$work/unsigned
  fi
  if printf '%s' "${VELSETUP_SIGN_PASSWORD:-}" |
    osslsigncode sign -pkcs12 "$VELSETUP_SIGN_PFX" -readpass - -h sha256 -n "$name" -i "$url" \
      "${timestamp[@]}" -in "$input" -out "$work/signed" >"$work/log" 2>&1; then
    chmod --reference="$file" "$work/signed"
    mv -f "$work/signed" "$file"
    echo "sign: $(basename "$file") signed (SHA-256${timestamp:+, time-stamped by $VELSETUP_SIGN_TIMESTAMP})"
  else
    echo "sign: $(basename "$file") could not be signed:" >&2
    sed 's/^/  /' "$work/log" >&2
    status=1
  fi
  rm -rf "$work"
done
exit $status
