#!/usr/bin/env bash
# Checks what tarvex-cli pdf and rtf write with the programs that read it:
#   - the PDF in poppler: pdfinfo's page count is the one the printer
#     reported, pdftotext gives back the text (Cyrillic included) and the
#     footers "- 1 -", "- 2 -", ...;
#   - the RTF in LibreOffice Writer (headless, to text and to HTML: the text,
#     bold and the keyword colour survive) and in unrtf (to HTML: the text).
# A reader that is not installed is reported and skipped.
#
#   bench/output/check_output.sh [BUILD_DIR]     default: build/release
# Exits 1 when a check fails.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build="${1:-$root/build/release}"
cli="$build/cli/tarvex-cli"
[ -x "$cli" ] || { echo "check_output: $cli is missing; build first" >&2; exit 1; }
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then export XDG_RUNTIME_DIR="$tmp/xdg"; mkdir -m 700 "$XDG_RUNTIME_DIR"; fi
fail=0
ok() { echo "  ok: $*"; }
bad() { echo "  FAILED: $*"; fail=1; }

# A text of about three pages: Cyrillic and Latin lines, braces and a
# backslash, and the keyword "важно" (important) to highlight.
{
  for i in $(seq 1 110); do
    printf 'Строка %d: съешь же ещё этих мягких французских булок {%d} \\ важно\r\n' "$i" "$i"
  done
  printf 'The last line.'
} | iconv -f UTF-8 -t WINDOWS-1251 > "$tmp/text.txt"
# Fields: options (case-sensitive, whole word), style (bold), context, cursor, colour (red), background (none).
printf '[Keywords]\nважно=3,1,1,0,255,-1\n' > "$tmp/keys.ini"
{ iconv -f WINDOWS-1251 -t UTF-8 "$tmp/text.txt" | tr -d '\r'; echo; } > "$tmp/expected.txt"

echo "PDF (poppler)"
if ! pages="$("$cli" pdf --highlighter "$tmp/keys.ini" "$tmp/text.txt" -o "$tmp/out.pdf" | sed -n 's/^pages: //p')"; then
  bad "tarvex-cli pdf failed"
elif ! command -v pdfinfo >/dev/null || ! command -v pdftotext >/dev/null; then
  echo "  skipped: poppler-utils (pdfinfo, pdftotext) not installed"
else
  got="$(pdfinfo "$tmp/out.pdf" | awk '/^Pages:/ { print $2 }')"
  [ "$got" = "$pages" ] && [ "$pages" -ge 3 ] && ok "pdfinfo: $got pages, as printed" || bad "pdfinfo says $got pages, tarvex-cli $pages"
  pdftotext -raw "$tmp/out.pdf" "$tmp/pdf.txt"
  for p in $(seq 1 "$pages"); do
    grep -qx -- "- $p -" "$tmp/pdf.txt" || bad "footer \"- $p -\" missing"
  done
  grep -qx -- "- $pages -" "$tmp/pdf.txt" && ok "footers - 1 - to - $pages -"
  grep -vx -- '- [0-9]* -' "$tmp/pdf.txt" | grep -v 'text.txt' | tr -d '\f' | sed '/^$/d' > "$tmp/pdf-body.txt"
  if diff -q "$tmp/expected.txt" "$tmp/pdf-body.txt" >/dev/null; then ok "pdftotext gives back the text"
  else bad "pdftotext text differs: $(diff "$tmp/expected.txt" "$tmp/pdf-body.txt" | head -5)"; fi
fi

echo "RTF"
"$cli" rtf --highlighter "$tmp/keys.ini" "$tmp/text.txt" -o "$tmp/out.rtf" || bad "tarvex-cli rtf failed"
if command -v soffice >/dev/null; then
  profile="-env:UserInstallation=file://$tmp/lo-profile"
  soffice --headless "$profile" --convert-to 'txt:Text (encoded):UTF8' --outdir "$tmp/lo" "$tmp/out.rtf" >/dev/null 2>&1
  if [ -f "$tmp/lo/out.txt" ]; then
    sed 's/^\xEF\xBB\xBF//' "$tmp/lo/out.txt" | tr -d '\r' > "$tmp/lo.txt"
    if diff -q "$tmp/expected.txt" "$tmp/lo.txt" >/dev/null; then ok "LibreOffice reads the text back"
    else bad "LibreOffice text differs: $(diff "$tmp/expected.txt" "$tmp/lo.txt" | head -5)"; fi
  else
    bad "LibreOffice could not convert the RTF to text"
  fi
  soffice --headless "$profile" --convert-to html --outdir "$tmp/lo" "$tmp/out.rtf" >/dev/null 2>&1
  if [ -f "$tmp/lo/out.html" ]; then
    html="$(tr -d '\r\n' < "$tmp/lo/out.html")"
    # The keyword is bold and red (colour 255 = #ff0000) after the round trip.
    if grep -qiE '<font color="#ff0000">(<[^>]*>)*<b>важно</b>' <<<"$html"; then
      ok "LibreOffice keeps bold and the keyword colour"
    else
      bad "bold or colour lost in LibreOffice's HTML"
    fi
  else
    bad "LibreOffice could not convert the RTF to HTML"
  fi
else
  echo "  skipped: LibreOffice (soffice) not installed"
fi
if command -v unrtf >/dev/null; then
  # unrtf's HTML names every character, Cyrillic included, as an entity.
  unrtf --html "$tmp/out.rtf" 2>/dev/null | python3 -c '
import html, re, sys
t = sys.stdin.read()
t = t[t.find("<body>") + 6 : t.rfind("</body>")]
t = re.sub(r"<br\s*/?>\n?", "\n", t)
t = re.sub(r"<[^>]*>", "", t)
t = html.unescape(t).replace("\r", "")
print("\n".join(l.rstrip() for l in t.strip("\n").split("\n")))
' > "$tmp/unrtf.txt"
  if diff -q "$tmp/expected.txt" "$tmp/unrtf.txt" >/dev/null; then ok "unrtf reads the text back"
  else bad "unrtf text differs: $(diff "$tmp/expected.txt" "$tmp/unrtf.txt" | head -5)"; fi
else
  echo "  skipped: unrtf not installed"
fi
exit $fail
