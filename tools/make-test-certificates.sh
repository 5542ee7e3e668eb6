#!/bin/sh
# Makes the throw-away certificates of the TLS tests in <dir>, new on every run:
#   authority.crt, authority.der  the authority the test Wine prefix is made to trust
#   localhost.crt/.key            for localhost, signed by it
#   wrong-name.crt/.key           for another name (elsewhere.test), signed by it
#   expired.crt/.key              for localhost, signed by it, ran out in 2024
#   untrusted.crt/.key            for localhost, signed by an authority nobody trusts
# The authorities' keys are deleted once the certificates are signed, so that
# nothing can ever be signed again with an authority a prefix trusts.
# Usage: tools/make-test-certificates.sh <dir>
set -eu
dir=$1
rm -rf "$dir"
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/test-certificates.XXXXXX")
trap 'rm -rf "$work"' EXIT

# authority <file name> <common name>
authority() {
    openssl req -x509 -newkey rsa:2048 -nodes -days 7 -subj "/CN=$2" -keyout "$work/$1.key" -out "$work/$1.crt" \
        -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
}

# server <file name> <DNS name> <authority> <validity options...>
server() {
    name=$1 dns=$2 signer=$3
    shift 3
    openssl req -newkey rsa:2048 -nodes -subj "/CN=$dns" -keyout "$dir/$name.key" -out "$work/$name.csr" 2>/dev/null
    : >"$work/index.txt"
    echo 01 >"$work/serial"
    cat >"$work/ca.cnf" <<CONFIG
[ca]
default_ca = signer
[signer]
database = $work/index.txt
new_certs_dir = $work
serial = $work/serial
default_md = sha256
policy = supplied
unique_subject = no
[supplied]
commonName = supplied
[server]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature, keyEncipherment
extendedKeyUsage = serverAuth
subjectAltName = DNS:$dns
CONFIG
    openssl ca -batch -notext -config "$work/ca.cnf" -extensions server -cert "$work/$signer.crt" \
        -keyfile "$work/$signer.key" -in "$work/$name.csr" -out "$dir/$name.crt" "$@" 2>/dev/null
}

authority authority "QX Test Authority"
authority stranger "QX Stranger Authority"
server localhost localhost authority -days 7
server wrong-name elsewhere.test authority -days 7
server expired localhost authority -startdate 20240101000000Z -enddate 20240201000000Z
server untrusted localhost stranger -days 7
cp "$work/authority.crt" "$dir/authority.crt"
openssl x509 -in "$work/authority.crt" -outform DER -out "$dir/authority.der"
