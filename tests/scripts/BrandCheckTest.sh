#!/usr/bin/env bash
# Broken brands stop the build when it is configured, each with one line of its own: the file, what is wrong, what
# was expected. Each case is a brand folder holding one broken piece, given to a real configure of the Windows build,
# and to the release command, run from the scratch folder with the brand and the output folder given as relative
# paths: it must end with the same line, prefixed "release: ", and leave nothing new in the output folder (the
# previous release there goes, as the README says). A site document that is sound but will most likely never show the
# game window gets a warning of one line, and the configure goes on.
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# A picture of a size and format, drawn with Debian's Python and Pillow. $1: path; $2: PNG or JPEG; $3, $4: size.
picture()
{
    /usr/bin/python3 -c "import sys; from PIL import Image
Image.new('RGB', (int(sys.argv[3]), int(sys.argv[4])), (9, 99, 199)).save(sys.argv[1], sys.argv[2])" "$@"
}

failures=0
# Configures the Windows build with the options given; its output and status in $out and $status.
configure()
{
    out=$(cmake -S "$ROOT" -B "$scratch/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" "$@" 2>&1)
    status=$?
}

# The release command with the brand folder $1 (relative to $scratch) and the output folder dist beside it, which
# holds a previous release and a file of the operator's own. Its output and status in $out and $status, what dist
# holds afterwards in $left.
release()
{
    rm -rf "$scratch/dist"
    mkdir -p "$scratch/dist"
    echo "the operator's own" >"$scratch/dist/notes.txt"
    echo "previous" >"$scratch/dist/lumora-i686.exe"
    echo "previous" >"$scratch/dist/lumora-x86_64.exe"
    (cd "$scratch/dist" && sha256sum lumora-i686.exe lumora-x86_64.exe >SHA256SUMS)
    out=$(cd "$scratch" && env -u LUMORA_SIGN_CERTIFICATE LUMORA_BRAND_DIR="$1" bash "$ROOT/scripts/release.sh" dist 2>&1)
    status=$?
    left=$(cd "$scratch/dist" && ls -A)
}

# $1: case; $2: the broken file, a path under $scratch; $3: the line the configure must fail with, after the file's
# path. The rest: options of the configure. A case whose options give a brand folder runs the release command too.
expect_failure()
{
    configure "${@:4}"
    if [ "$status" -eq 0 ] || ! grep -qxF "$scratch/$2: $3" <<<"$out"; then
        echo "FAIL $1: wanted the configure to fail with the line"
        echo "    $scratch/$2: $3"
        echo "  got (status $status):"
        grep -v '^--' <<<"$out" | head -n 12 | sed 's/^/    /'
        failures=$((failures + 1))
    else
        echo "ok $1"
    fi
    [[ $4 == -DLUMORA_BRAND_DIR=$scratch/?* ]] || return 0
    release "$(dirname "$2")"
    if [ "$status" -eq 0 ] || [ "$(tail -n 1 <<<"$out")" != "release: $scratch/$2: $3" ] ||
        [ "$left" != notes.txt ]; then
        echo "FAIL $1, released: wanted the release to fail with the last line"
        echo "    release: $scratch/$2: $3"
        echo "  and to leave only notes.txt in the output folder; got (status $status), leaving '$left':"
        tail -n 5 <<<"$out" | sed 's/^/    /'
        failures=$((failures + 1))
    else
        echo "ok $1, released"
    fi
}

# One folder per case, holding its broken piece.
mkdir -p "$scratch"/{size,jpeg,unknown-id,name,stray,section,order,site-key,title,alone,mode,page-text,page-link}
mkdir -p "$scratch"/{page-size,sound,https-warned,exe-suffix,exe-chars,exe-device}
brand() { echo "-DLUMORA_BRAND_DIR=$scratch/$1"; }

picture "$scratch/size/130_login_pay_normal.png" PNG 100 100
expect_failure "wrong size" size/130_login_pay_normal.png \
    "100 x 100 pixels, expected a PNG of 101 x 101 pixels (picture 130)" "$(brand size)"

picture "$scratch/jpeg/129_login_outline.png" JPEG 1024 700
expect_failure "JPEG where PNG is needed" jpeg/129_login_outline.png \
    "JPEG data, expected a PNG of 1024 x 700 pixels (picture 129)" "$(brand jpeg)"

picture "$scratch/unknown-id/218_login_extra.png" PNG 38 18
expect_failure "an unknown image id" unknown-id/218_login_extra.png \
    "no picture of the skin has id 218, expected one of the ids 129-196, 205-217" "$(brand unknown-id)"

picture "$scratch/name/130_pay.png" PNG 101 101
expect_failure "a known id under another name" name/130_pay.png \
    "not the generator's name for picture 130, expected 130_login_pay_normal.png" "$(brand name)"

echo notes >"$scratch/stray/notes.txt"
expect_failure "a file that is no piece" stray/notes.txt "not a piece of a brand, expected layout.ini, siteurl.ini, \
animation.ini, resolution.ini, browser.ini, titles.ini, executable.ini, offline.html, 128_app_icon.ico or a picture \
<id>_<role>.png|.jpg" "$(brand stray)"

printf '[Width]\r\n1440=1440 \r\n' >"$scratch/section/resolution.ini"
expect_failure "a document without its section" section/resolution.ini \
    "no section [Height], expected the sections [Width] then [Height]" "$(brand section)"

printf '[Height]\r\n900=800\r\n[Width]\r\n1440=1440\r\n' >"$scratch/order/resolution.ini"
expect_failure "sections out of the reader's order" order/resolution.ini \
    "[Height] stands before [Width], expected [Width] then [Height]" "$(brand order)"

grep -v '^LoginKey=' "$ROOT/tests/brand/operator-siteurl.ini" >"$scratch/site-key/siteurl.ini"
expect_failure "a site document without a key" site-key/siteurl.ini "section [base] has no key LoginKey, expected \
Official, Main, Pay, Exit, Custome, Forum, LoginKey, Regist, Guide, LoginKeyPre" "$(brand site-key)"

printf '[English]\nWebTitle=%s\n' "A title far too long for the title band" >"$scratch/title/titles.ini"
expect_failure "a title too long" title/titles.ini "[English] WebTitle is 39 characters long, expected at most 31" \
    "$(brand title)"

printf '[Browser]\r\nDocumentMode=12000\r\n' >"$scratch/mode/browser.ini"
expect_failure "a document mode the browser does not know" mode/browser.ini "[Browser] DocumentMode is '12000', \
expected one of 0, 7000, 8000, 8888, 9000, 9999, 10000, 10001, 11000, 11001" "$(brand mode)"

printf '<a id="retry" href="#">R\xe9essayer</a>' >"$scratch/page-text/offline.html"
expect_failure "a page that is not UTF-8" page-text/offline.html "not UTF-8 text, expected an HTML page in UTF-8" \
    "$(brand page-text)"

printf '<html><body><a href="#">Retry</a></body></html>' >"$scratch/page-link/offline.html"
expect_failure "a page without its retry link" page-link/offline.html "no link with the id \"retry\", expected \
<a id=\"retry\" href=\"#\">, which the page's script points at the address that failed" "$(brand page-link)"

{ printf '<a id="retry" href="#">Retry</a><!--'; head -c 70000 /dev/zero | tr '\0' x; printf -- '-->'; } \
    >"$scratch/page-size/offline.html"
expect_failure "a page too large" page-size/offline.html "70039 bytes, expected at most 65536" "$(brand page-size)"

printf '[Executable]\r\nName=example-client.exe\r\n' >"$scratch/exe-suffix/executable.ini"
expect_failure "an executable's name with .exe" exe-suffix/executable.ini \
    "[Executable] Name is 'example-client.exe', expected the name without .exe" "$(brand exe-suffix)"

printf '[Executable]\r\nName=star fall\r\n' >"$scratch/exe-chars/executable.ini"
expect_failure "an executable's name with a blank" exe-chars/executable.ini "[Executable] Name is 'star fall', \
expected 1 to 64 letters, digits, '-' or '_' (ASCII), starting with a letter or digit" "$(brand exe-chars)"

printf '[Executable]\nName=Aux\n' >"$scratch/exe-device/executable.ini"
expect_failure "an executable named as a device" exe-device/executable.ini \
    "[Executable] Name is 'Aux', a device's name on Windows, expected another name" "$(brand exe-device)"

# The site-address document given on its own is checked the same way.
printf '; no section\r\nMain=http://example.test/\r\n' >"$scratch/alone/siteurl.ini"
expect_failure "a site-address document given on its own" alone/siteurl.ini "no section, expected [base] with the \
keys Official, Main, Pay, Exit, Custome, Forum, LoginKey, Regist, Guide, LoginKeyPre" -DLUMORA_BRAND_DIR= \
    -DLUMORA_SITEURL_DOCUMENT="$scratch/alone/siteurl.ini"

# And a brand whose pieces are all sound configures.
picture "$scratch/sound/130_login_pay_normal.png" PNG 101 101
cp "$ROOT/res/layout.ini" "$ROOT/res/browser.ini" "$scratch/sound/"
cp "$ROOT/res/offline-en.html" "$scratch/sound/offline.html"
configure "$(brand sound)" -DLUMORA_SITEURL_DOCUMENT=
if [ "$status" -ne 0 ]; then
    echo "FAIL a sound brand: the configure failed:"
    grep -v '^--' <<<"$out" | head -n 12 | sed 's/^/    /'
    failures=$((failures + 1))
else
    echo "ok a sound brand"
fi

# A login page over https with the shipped game-server prefix: one line of warning, and the configure goes on.
sed 's#^Main=http://#Main=https://#; s#^LoginKeyPre=.*#LoginKeyPre=HTTP://S\r#' "$ROOT/res/siteurl.ini" \
    >"$scratch/https-warned/siteurl.ini"
warning="$scratch/https-warned/siteurl.ini: warning: Main is an https address but LoginKeyPre 'HTTP://S' names the \
scheme http, which no https address holds, so the client never turns into the game window on an https game server; \
expected HTTPS://S for game servers over https, or ://S for both"
configure "$(brand https-warned)" -DLUMORA_SITEURL_DOCUMENT=
if [ "$status" -ne 0 ] || [ "$(grep -cxF "$warning" <<<"$out")" -ne 1 ] || [ "$(grep -c warning: <<<"$out")" -ne 1 ]; then
    echo "FAIL an https login page with an http game-server prefix: wanted the configure to go on after the one line"
    echo "    $warning"
    echo "  got (status $status):"
    grep -v '^--' <<<"$out" | head -n 12 | sed 's/^/    /'
    failures=$((failures + 1))
else
    echo "ok an https login page with an http game-server prefix: warned once"
fi

# The prefixes that an https address can hold, and an http login page, get no warning: Main, LoginKeyPre.
while IFS=' ' read -r main prefix; do
    sed "s#^Main=.*#Main=$main\r#; s#^LoginKeyPre=.*#LoginKeyPre=$prefix\r#" "$ROOT/res/siteurl.ini" \
        >"$scratch/https-warned/siteurl.ini"
    said=$(/usr/bin/python3 "$ROOT/scripts/brand.py" check --brand "$scratch/https-warned" 2>&1 >/dev/null)
    if [ -n "$said" ]; then
        echo "FAIL Main=$main with LoginKeyPre=$prefix: wanted no warning, got:"
        echo "    $said"
        failures=$((failures + 1))
    else
        echo "ok Main=$main with LoginKeyPre=$prefix: no warning"
    fi
done <<'CASES'
https://login.example/ HTTPS://S
https://login.example/ https://game
HTTPS://LOGIN.EXAMPLE/ ://S
https://login.example/ S://S
https://login.example/ .game.example
http://login.example/ HTTP://S
CASES

exit $((failures > 0))
