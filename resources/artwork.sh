#!/usr/bin/env bash
# Draws the installer's own artwork with ImageMagick into OUTDIR:
#   IcoVel2.ico, IcoVel3.ico    program icons of the two product generations
#   LogoV2.bmp                  heading logo of generation 0 (160 x 118)
#   LogoV3Tarpel.bmp            heading logo of generation 1, larger edition (313 x 118)
#   LogoV3Kest.bmp              heading logo of generation 1, smaller edition (313 x 118)
#   Folder.bmp                  folder picture of the browse button (20 x 20)
#   CopyFiles.bmp               picture of the extraction page (96 x 96)
#   GlyphViewLog.bmp, GlyphPrintLog.bmp, GlyphSendLog.bmp, GlyphSaveLog.bmp
#                               the error report's buttons: view, print, mail, save the log (20 x 20)
# Each picture also comes drawn for 150 % and 200 % screens (LogoV2_150.bmp, LogoV2_200.bmp...):
# the wizard scales itself on such screens, and a picture stretched from the small size is blurred.
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

# Every picture at 100, 150 and 200 %: z N is N pixels at the current scale.
for k in 100 150 200; do
z() { echo $(( ($1 * k + 50) / 100 )); }
sfx=; [ $k = 100 ] || sfx=_$k

# Generation 0: mark above the word, 160 x 118, the heading text sits to its left.
mark "$(z 58)" "$blue" "$tmp/l2.png"
convert -size "$(z 160)x$(z 118)" xc:white "$tmp/l2.png" -geometry +"$(z 51)"+"$(z 14)" -composite \
  -font "$font" -pointsize "$(z 22)" -fill "$grey" -gravity north -annotate +0+"$(z 78)" 'VELMOR' \
  "$tmp/logo2.png"
tobmp "$tmp/logo2.png" "$out/LogoV2$sfx.bmp"

# Generation 1: mark, word and edition name side by side, 313 x 118.
mark "$(z 64)" "$teal" "$tmp/l3.png"
for ed in Tarpel Kest; do
  convert -size "$(z 313)x$(z 118)" xc:white "$tmp/l3.png" -geometry +"$(z 18)"+"$(z 27)" -composite \
    -font "$font" -pointsize "$(z 30)" -fill "$grey" -annotate +"$(z 96)"+"$(z 62)" 'VELMOR' \
    -font "$fontl" -pointsize "$(z 20)" -fill "$teal" -annotate +"$(z 97)"+"$(z 88)" "$ed" \
    -fill "$orange" -draw "rectangle $(z 97),$(z 94) $(z $((97 + ${#ed} * 12))),$(z 96)" \
    "$tmp/logo3$ed.png"
  tobmp "$tmp/logo3$ed.png" "$out/LogoV3$ed$sfx.bmp"
done

# The browse button's folder, 20 x 20.
convert -size "$(z 20)x$(z 20)" xc:white -strokewidth "$(z 1)" \
  -fill '#e0a526' -stroke '#a87412' -draw "roundrectangle $(z 1),$(z 4) $(z 9),$(z 8) $(z 1),$(z 1)" \
  -draw "roundrectangle $(z 1),$(z 6) $(z 18),$(z 17) $(z 1),$(z 1)" \
  -stroke none -fill '#f5c451' -draw "rectangle $(z 2),$(z 9) $(z 17),$(z 16)" "$tmp/folder.png"
tobmp "$tmp/folder.png" "$out/Folder$sfx.bmp"

# The extraction page's picture: a box receiving files, 96 x 96.
convert -size "$(z 96)x$(z 96)" xc:white \
  -fill '#d9e6f5' -stroke "$blue" -strokewidth "$(z 2)" \
  -draw "polygon $(z 14),$(z 44) $(z 48),$(z 30) $(z 82),$(z 44) $(z 48),$(z 58)" \
  -fill '#b9cfe9' -draw "polygon $(z 14),$(z 44) $(z 48),$(z 58) $(z 48),$(z 90) $(z 14),$(z 76)" \
  -fill '#9fbde0' -draw "polygon $(z 82),$(z 44) $(z 48),$(z 58) $(z 48),$(z 90) $(z 82),$(z 76)" \
  -stroke none -fill "$orange" \
  -draw "polygon $(z 40),$(z 6) $(z 56),$(z 6) $(z 56),$(z 20) $(z 64),$(z 20) $(z 48),$(z 36) $(z 32),$(z 20) $(z 40),$(z 20)" \
  "$tmp/copy.png"
tobmp "$tmp/copy.png" "$out/CopyFiles$sfx.bmp"

# The error report's buttons, 20 x 20 each: a page with a lens, a printer, an envelope, a disk.
convert -size "$(z 20)x$(z 20)" xc:white -strokewidth "$(z 1)" \
  -fill white -stroke "$grey" -draw "rectangle $(z 2),$(z 1) $(z 13),$(z 16)" \
  -stroke '#9a9a9a' -draw "line $(z 4),$(z 5) $(z 11),$(z 5)" -draw "line $(z 4),$(z 8) $(z 9),$(z 8)" \
  -fill '#d9e6f5' -stroke "$blue" -strokewidth "$(z 2)" -draw "circle $(z 12),$(z 12) $(z 15),$(z 15)" \
  -draw "line $(z 15),$(z 15) $(z 18),$(z 18)" "$tmp/view.png"
tobmp "$tmp/view.png" "$out/GlyphViewLog$sfx.bmp"
convert -size "$(z 20)x$(z 20)" xc:white -strokewidth "$(z 1)" \
  -fill white -stroke "$grey" -draw "rectangle $(z 5),$(z 1) $(z 14),$(z 7)" \
  -fill '#8a8f96' -draw "roundrectangle $(z 1),$(z 6) $(z 18),$(z 14) $(z 1),$(z 1)" \
  -fill white -draw "rectangle $(z 5),$(z 11) $(z 14),$(z 18)" \
  -stroke none -fill "$orange" -draw "rectangle $(z 15),$(z 8) $(z 16),$(z 9)" "$tmp/print.png"
tobmp "$tmp/print.png" "$out/GlyphPrintLog$sfx.bmp"
convert -size "$(z 20)x$(z 20)" xc:white -strokewidth "$(z 1)" \
  -fill '#f3e7c9' -stroke '#a87412' -draw "rectangle $(z 1),$(z 4) $(z 18),$(z 15)" \
  -fill none -draw "polyline $(z 1),$(z 4) $(z 10),$(z 11) $(z 18),$(z 4)" "$tmp/send.png"
tobmp "$tmp/send.png" "$out/GlyphSendLog$sfx.bmp"
convert -size "$(z 20)x$(z 20)" xc:white -strokewidth "$(z 1)" \
  -fill "$blue" -stroke '#173f6e' -draw "roundrectangle $(z 1),$(z 1) $(z 18),$(z 18) $(z 1),$(z 1)" \
  -fill white -stroke none -draw "rectangle $(z 4),$(z 2) $(z 15),$(z 8)" \
  -fill '#d9e6f5' -draw "rectangle $(z 5),$(z 12) $(z 14),$(z 18)" \
  -fill "$blue" -draw "rectangle $(z 11),$(z 3) $(z 13),$(z 7)" "$tmp/save.png"
tobmp "$tmp/save.png" "$out/GlyphSaveLog$sfx.bmp"
done
