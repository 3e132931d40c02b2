#!/usr/bin/env bash
# Draws the installer's own artwork with ImageMagick into OUTDIR:
#   IcoVel2.ico, IcoVel3.ico    program icons of the two product generations
#   LogoV2.bmp                  heading logo of generation 0 (160 x 118)
#   LogoV3Tarpel.bmp            heading logo of generation 1, larger edition (313 x 118)
#   LogoV3Kest.bmp              heading logo of generation 1, smaller edition (313 x 118)
#   Folder.bmp                  folder picture of the browse button (20 x 20)
#   CopyFiles.bmp               picture of the extraction page (96 x 96)
# Every picture is drawn on white, the window colour of the wizard's white look.
set -euo pipefail
out=${1:?usage: artwork.sh OUTDIR}
mkdir -p "$out"
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
fontl=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
[ -f "$font" ] || font=DejaVu-Sans-Bold
[ -f "$fontl" ] || fontl=DejaVu-Sans
blue='#1f5fa8'     # generation 0
teal='#137a7f'     # generation 1
orange='#e8772e'   # accent of both
grey='#333333'     # the text colour of the wizard's buttons
tobmp() { convert "$1" -background white -alpha remove -alpha off -type TrueColor "BMP3:$2"; }

# The mark: a rounded square in the generation colour, a white "V" and an orange bar.
mark() { # size colour file
  local s=$1 c=$2 f=$3 r=$(( $1 / 5 )) w=$(( $1 * 6 / 100 + 1 ))
  convert -size ${s}x${s} xc:none \
    -fill "$c" -draw "roundrectangle 0,0 $((s-1)),$((s-1)) $r,$r" \
    -fill white -stroke white -strokewidth $w \
    -draw "polygon $((s*22/100)),$((s*22/100)) $((s*38/100)),$((s*22/100)) $((s/2)),$((s*60/100)) $((s*62/100)),$((s*22/100)) $((s*78/100)),$((s*22/100)) $((s/2)),$((s*80/100))" \
    -stroke none -fill "$orange" -draw "rectangle $((s*22/100)),$((s*84/100)) $((s*78/100)),$((s*90/100))" \
    "$f"
}

tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
for gen in 2 3; do
  c=$blue; [ $gen = 3 ] && c=$teal
  for s in 16 24 32 48 64 256; do mark $s "$c" "$tmp/m$gen-$s.png"; done
  convert "$tmp"/m$gen-16.png "$tmp"/m$gen-24.png "$tmp"/m$gen-32.png "$tmp"/m$gen-48.png \
          "$tmp"/m$gen-64.png "$tmp"/m$gen-256.png "$out/IcoVel$gen.ico"
done

# Generation 0: mark above the word, 160 x 118, the heading text sits to its left.
mark 58 "$blue" "$tmp/l2.png"
convert -size 160x118 xc:white "$tmp/l2.png" -geometry +51+14 -composite \
  -font "$font" -pointsize 22 -fill "$grey" -gravity north -annotate +0+78 'VELMOR' \
  "$tmp/logo2.png"
tobmp "$tmp/logo2.png" "$out/LogoV2.bmp"

# Generation 1: mark, word and edition name side by side, 313 x 118.
mark 64 "$teal" "$tmp/l3.png"
for ed in Tarpel Kest; do
  convert -size 313x118 xc:white "$tmp/l3.png" -geometry +18+27 -composite \
    -font "$font" -pointsize 30 -fill "$grey" -annotate +96+62 'VELMOR' \
    -font "$fontl" -pointsize 20 -fill "$teal" -annotate +97+88 "$ed" \
    -fill "$orange" -draw "rectangle 97,94 $((97+ ${#ed} * 12)),96" \
    "$tmp/logo3$ed.png"
  tobmp "$tmp/logo3$ed.png" "$out/LogoV3$ed.bmp"
done

# The browse button's folder, 20 x 20.
convert -size 20x20 xc:white \
  -fill '#e0a526' -stroke '#a87412' -draw "roundrectangle 1,4 9,8 1,1" \
  -draw "roundrectangle 1,6 18,17 1,1" \
  -stroke none -fill '#f5c451' -draw "rectangle 2,9 17,16" "$tmp/folder.png"
tobmp "$tmp/folder.png" "$out/Folder.bmp"

# The extraction page's picture: a box receiving files, 96 x 96.
convert -size 96x96 xc:white \
  -fill '#d9e6f5' -stroke "$blue" -strokewidth 2 -draw "polygon 14,44 48,30 82,44 48,58" \
  -fill '#b9cfe9' -draw "polygon 14,44 48,58 48,90 14,76" \
  -fill '#9fbde0' -draw "polygon 82,44 48,58 48,90 82,76" \
  -stroke none -fill "$orange" -draw "polygon 40,6 56,6 56,20 64,20 48,36 32,20 40,20" \
  "$tmp/copy.png"
tobmp "$tmp/copy.png" "$out/CopyFiles.bmp"
