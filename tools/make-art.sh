#!/usr/bin/env bash
# Regenerates every bitmap and the icon under res/art/ from scratch.
#
# Everything is drawn with ImageMagick 6 "convert" so the artwork can be
# rebuilt on any box without a paint program.  Run from anywhere:
#
#     tools/make-art.sh
#
# The output formats are deliberately old-fashioned: windres and LoadImage
# on older Windows releases trip over the v4/v5 BMP headers and alpha that
# modern tools write, so every bitmap is uncompressed 24-bit BMP v3.  The
# icon carries 256-colour images with a 1-bit transparency mask, a form any
# Windows release can draw in the notification area.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
out="$here/../res/art"
mkdir -p "$out"
out=$(cd "$out" && pwd)

tmp=$(mktemp -d "${TMPDIR:-/tmp}/parawarden-art.XXXXXX")
trap 'rm -rf "$tmp"' EXIT

command -v convert >/dev/null || { echo "make-art.sh: ImageMagick 'convert' not found" >&2; exit 1; }

# ---------------------------------------------------------------------------
# House palette, shared by the banner, About strip, splash and buttons; the
# few one-off tints further down are shades of these.
NAVY_DEEP='#050f22'
NAVY='#0a1f40'
TEAL='#1fb0c6'
TEAL_LIGHT='#8fdcea'
LIME='#a4f548'
LIME_DARK='#06361a'
INK='#06152b'      # outline colour of the emblem; reads on light and dark trays
SILVER='#d5edf5'

# Fonts are ImageMagick names so no font paths are hard-wired; all of them
# ship with the stock urw-base35 / Liberation / DejaVu packages.
F_WORD_LIGHT='URW-Gothic-Book'
F_WORD_BOLD='URW-Gothic-Demi'
F_UI_BOLD='Liberation-Sans-Bold'
F_UI='DejaVu-Sans'

# Shield outline in a 100x100 design box; every rendering scales this one path
# so the emblem is identical at every size.
SHIELD='M50,3 C62,10 80,13 94,13 L94,44 C94,72 74,88 50,98 C26,88 6,72 6,44 L6,13 C20,13 38,10 50,3 Z'

# bmp3 SRC DEST -- flatten and write as plain 24-bit BMP v3 (no alpha, no
# colour-space header) which is what windres and LoadImage expect.
bmp3() {
    convert "$1" -background "$NAVY_DEEP" -alpha remove -alpha off \
        -type TrueColor "BMP3:$2"
}

# shield OUT MASTER SCALE "BANDS" CHECK_W CHECK_EDGE "CHECK_POINTS"
#   MASTER      working canvas in pixels (square); SCALE = MASTER/100
#   BANDS       "colour:width ..." from the outside in, widths in design units
#   CHECK_*     stroke widths and polyline of the check mark, design units
# The small icon sizes get their own band/check widths so that each band
# lands on whole pixels after the box-filter reduction.
shield() {
    local o=$1 m=$2 k=$3 bands=$4 cw=$5 ce=$6 pts=$7
    local b widths=() colours=() i draw=""

    # Bands are painted as strokes centred on the outline; the half outside
    # is cut off by the shield mask.  Paint the innermost (widest) first.
    for b in $bands; do
        colours+=("${b%%:*}")
        widths+=("${b#*:}")
    done
    for ((i=${#widths[@]}-1; i>=0; i--)); do
        local sum=0 j
        for ((j=0; j<=i; j++)); do sum="$sum+${widths[$j]}"; done
        draw+=" stroke '${colours[$i]}' stroke-width %[fx:2*($sum)] path '$SHIELD'"
    done
    # %[fx:] is not expanded inside -draw, so resolve the arithmetic first.
    draw=$(convert xc: -format "$draw" info:)

    # Mirror-merge the outline mask: the anti-aliasing is not quite
    # symmetric, and after the 1-bit cut in the icon a stray pixel on one
    # side shows up as a lopsided shield.
    convert -size "${m}x${m}" xc:black -fill white \
        -draw "scale $k,$k path '$SHIELD'" \
        \( +clone -flop \) -compose Darken -composite "$tmp/mask.png"

    # Two-stop body gradient; a single teal-to-navy ramp goes grey midway.
    convert \( -size "${m}x$((m * 45 / 100))" gradient:'#2ccbe0-#1478b8' \) \
        \( -size "${m}x$((m - m * 45 / 100))" gradient:'#1478b8-#0a2a66' \) -append \
        \( -size "$((m/2))x${m}" xc:'rgba(255,255,255,0.16)' \) -composite \
        -fill none -draw "scale $k,$k $draw" \
        -fill none -stroke "$LIME_DARK" \
        -draw "scale $k,$k stroke-width $(convert xc: -format "%[fx:$cw+$ce]" info:) stroke-linecap round stroke-linejoin round polyline $pts" \
        -stroke "$LIME" \
        -draw "scale $k,$k stroke-width $cw stroke-linecap round stroke-linejoin round polyline $pts" \
        "$tmp/mask.png" -alpha off -compose CopyOpacity -composite "$o"
}

# Large emblem for the banner, About strip and splash: silver rim, dark
# inner band, plus a soft top-light / bottom-shade so it looks struck
# rather than flat.
shield "$tmp/emblem-flat.png" 1000 10 "$SILVER:2.8 $NAVY_DEEP:2.2" 9.5 3.2 "28,50 45,66 73,32"
convert "$tmp/emblem-flat.png" \
    \( -size 1000x1000 gradient:'rgba(255,255,255,0.12)-rgba(0,0,0,0.25)' \) \
    -compose Atop -composite \
    \( -size 1000x1000 xc:none -fill none -stroke 'rgba(230,255,190,0.55)' \
       -draw "scale 10,10 stroke-width 2.2 stroke-linecap round stroke-linejoin round polyline 30.5,48.5 45,62.5 70.5,33" \) \
    -compose Atop -composite "$tmp/emblem.png"

# emblem HEIGHT OUT -- the large emblem reduced to HEIGHT pixels with a soft
# drop shadow, on a transparent canvas slightly bigger than the shield.
emblem() {
    local h=$1 o=$2
    convert "$tmp/emblem.png" -filter Lanczos -resize "${h}x${h}" -unsharp 0x0.6+0.6+0 \
        \( +clone -background black -shadow "60x$(( h/30 + 1 ))+0+$(( h/40 + 1 ))" \) \
        +swap -background none -layers merge +repage "$o"
}

# ---------------------------------------------------------------------------
# Icon: 32x32 and 16x16, 256-colour with AND mask.
shield "$tmp/i32.png" 512 5.12 "$INK:3.125 $SILVER:3.125 $NAVY_DEEP:3.125" 11.2 5 "28,50 44,66 73,32"
shield "$tmp/i16.png" 512 5.12 "$INK:6.25" 13.1 5.6 "28.1,48 43.75,63.5 72,29"
for s in 32 16; do
    # Box reduction keeps the bands on exact pixels; the hard alpha cut is
    # what the 1-bit mask can represent anyway.
    convert "$tmp/i$s.png" -filter Box -resize "${s}x${s}" \
        -channel A -threshold 50% +channel "$tmp/icon$s.png"
done
convert "$tmp/icon32.png" "$tmp/icon16.png" -type PaletteMatte "$out/parawarden.ico"

# ---------------------------------------------------------------------------
# Banner across the top of the main window, 500x100.
emblem 84 "$tmp/em84.png"
convert -size 100x500 gradient:"#0f4a86-$NAVY" -rotate 90 \
    \( -size 100x500 gradient:'rgba(0,0,0,0)-rgba(0,0,0,0.35)' \) -composite \
    \( -size 500x100 radial-gradient:'rgba(31,176,198,0.45)-rgba(31,176,198,0)' \
       -resize 520x260\! -crop 500x100+10+130 +repage \) -compose Screen -composite \
    "$tmp/banner-bg.png"
# Faint sweep rings off the right edge hint at scanning without competing
# with the wordmark.
convert "$tmp/banner-bg.png" -fill none -stroke 'rgba(143,220,234,0.10)' -strokewidth 1 \
    -draw "circle 520,50 520,80" -draw "circle 520,50 520,110" \
    -draw "circle 520,50 520,140" -draw "circle 520,50 520,170" \
    -stroke 'rgba(255,255,255,0.08)' -draw "line 0,0 499,0" \
    "$tmp/banner-bg.png"
# Accent rule under the tagline, lime fading out to the right.
convert -size 2x260 gradient:"$LIME-$TEAL" -rotate -90 \
    \( -size 2x260 gradient:'white-black' -rotate -90 \) \
    -alpha off -compose CopyOpacity -composite "$tmp/banner-rule.png"
convert "$tmp/banner-bg.png" \
    "$tmp/em84.png" -geometry +12+5 -composite \
    -font "$F_WORD_LIGHT" -pointsize 34 -fill 'rgba(0,0,0,0.45)' -annotate +107+50 'Tallowick' \
    -fill white -annotate +106+49 'Tallowick' \
    "$tmp/banner-1.png"
# Set the bold half right after the light half, whatever the font metrics.
w_light=$(convert -font "$F_WORD_LIGHT" -pointsize 34 label:'Tallowick ' -format '%w' info:)
convert "$tmp/banner-1.png" \
    -font "$F_WORD_BOLD" -pointsize 34 -fill 'rgba(0,0,0,0.45)' -annotate +$((107 + w_light))+50 'Parawarden' \
    -fill white -annotate +$((106 + w_light))+49 'Parawarden' \
    -font "$F_UI" -pointsize 13 -kerning 1.2 -fill "$TEAL_LIGHT" -annotate +108+72 'Spyware & Adware Protection' \
    "$tmp/banner-rule.png" -geometry +106+80 -composite \
    "$tmp/banner.png"
bmp3 "$tmp/banner.png" "$out/banner.bmp"

# ---------------------------------------------------------------------------
# About page strip, 60x300: emblem on top, the name set vertically below.
emblem 50 "$tmp/em50.png"
convert -size 60x300 gradient:"#0f4a86-$NAVY_DEEP" \
    \( -size 120x120 radial-gradient:'rgba(31,176,198,0.40)-rgba(31,176,198,0)' \) \
    -geometry -30-28 -compose Screen -composite \
    "$tmp/logo-bg.png"
convert -size 300x60 xc:none -font "$F_WORD_BOLD" -pointsize 21 -kerning 4 \
    -fill 'rgba(0,0,0,0.5)' -gravity center -annotate +1+1 'PARAWARDEN' \
    -fill white -annotate +0+0 'PARAWARDEN' -trim +repage -rotate -90 "$tmp/logo-word.png"
convert -size 2x36 gradient:"$LIME-$TEAL" -rotate -90 "$tmp/logo-rule.png"
convert "$tmp/logo-bg.png" \
    "$tmp/em50.png" -gravity north -geometry +0+6 -composite \
    "$tmp/logo-rule.png" -gravity north -geometry +0+66 -composite \
    "$tmp/logo-word.png" -gravity north -geometry +0+82 -composite \
    -gravity northwest \
    -fill "rgba(31,176,198,0.55)" -draw "rectangle 12,272 47,273" \
    -fill "rgba(31,176,198,0.35)" -draw "rectangle 17,278 42,279" \
    -fill "rgba(31,176,198,0.20)" -draw "rectangle 22,284 37,285" \
    -fill none -stroke 'rgba(143,220,234,0.25)' -draw "line 59,0 59,299" \
    "$tmp/logo.png"
bmp3 "$tmp/logo.png" "$out/logo.bmp"

# ---------------------------------------------------------------------------
# Splash, 492x311.  The program paints white labels and three picture
# buttons over this, so those places are left dark and plain:
#   maker   128,16  337x25      version 344,96 121x17
#   status  112,248 241x17      buttons y 272..299 at x 30, 181, 332 (130 wide)
W=492; H=311; FOOT=240
emblem 104 "$tmp/em104.png"
convert -size ${W}x${H} gradient:"#0c2f5e-$NAVY_DEEP" \
    \( -size 640x640 radial-gradient:'rgba(31,176,198,0.30)-rgba(31,176,198,0)' \
       -crop ${W}x${H}+250+240 +repage \) -compose Screen -composite \
    "$tmp/splash-bg.png"

# Sweep rings around the emblem.  They are faded out under the label boxes
# so the white text never sits on a line.
convert -size ${W}x${H} xc:none -fill none -stroke 'rgba(143,220,234,0.13)' -strokewidth 1 \
    -draw "circle 68,66 68,138" -draw "circle 68,66 68,178" -draw "circle 68,66 68,222" \
    -draw "circle 68,66 68,270" -draw "circle 68,66 68,322" -draw "circle 68,66 68,378" \
    "$tmp/rings.png"
convert -size ${W}x${H} xc:white -fill black \
    -draw "rectangle 120,10 473,47" -draw "rectangle 336,90 473,119" \
    -blur 0x6 "$tmp/rings-keep.png"
convert "$tmp/rings.png" \( +clone -alpha extract "$tmp/rings-keep.png" -compose Multiply -composite \) \
    -alpha off -compose CopyOpacity -composite "$tmp/rings.png"

# Footer panel that holds the status line and the buttons: flat and dark.
convert -size ${W}x$((H - FOOT)) gradient:'#071733-#040c1c' "$tmp/foot.png"

w_light=$(convert -font "$F_WORD_LIGHT" -pointsize 40 label:'Tallowick ' -format '%w' info:)
convert "$tmp/splash-bg.png" "$tmp/rings.png" -composite \
    "$tmp/em104.png" -geometry +14+12 -composite \
    "$tmp/foot.png" -geometry +0+$FOOT -composite \
    -fill none -stroke 'rgba(143,220,234,0.30)' -draw "line 0,$FOOT $W,$FOOT" \
    -stroke 'rgba(0,0,0,0.6)' -draw "line 0,$((FOOT + 1)) $W,$((FOOT + 1))" \
    -stroke none \
    -font "$F_WORD_LIGHT" -pointsize 40 -fill 'rgba(0,0,0,0.5)' -annotate +32+174 'Tallowick' \
    -fill white -annotate +30+172 'Tallowick' \
    -font "$F_WORD_BOLD" -fill 'rgba(0,0,0,0.5)' -annotate +$((32 + w_light))+174 'Parawarden' \
    -fill white -annotate +$((30 + w_light))+172 'Parawarden' \
    "$tmp/splash-1.png"
convert -size 2x300 gradient:"$LIME-$TEAL" -rotate -90 \
    \( -size 2x300 gradient:'white-black' -rotate -90 \) \
    -alpha off -compose CopyOpacity -composite "$tmp/splash-rule.png"
convert "$tmp/splash-1.png" \
    "$tmp/splash-rule.png" -geometry +31+186 -composite \
    -font "$F_UI" -pointsize 14 -kerning 1.2 -fill "$TEAL_LIGHT" -annotate +32+210 'Spyware & Adware Protection' \
    -fill none -stroke 'rgba(143,220,234,0.35)' -draw "rectangle 0,0 $((W - 1)),$((H - 1))" \
    "$tmp/splash.png"
bmp3 "$tmp/splash.png" "$out/splash.bmp"

# ---------------------------------------------------------------------------
# Picture buttons, 130x28.  The corners outside the rounded face are cut
# from the splash at each button's own position so they blend seamlessly.
# button NAME X LABEL
button() {
    local name=$1 x=$2 label=$3 y=272 bw=130 bh=28
    convert "$tmp/splash.png" -crop ${bw}x${bh}+$x+$y +repage "$tmp/btn-under.png"
    convert -size ${bw}x${bh} xc:none -fill white \
        -draw "roundrectangle 0,0 $((bw - 1)),$((bh - 1)) 6,6" "$tmp/btn-mask.png"
    convert -size ${bw}x${bh} xc:none -fill white \
        -draw "roundrectangle 1,1 $((bw - 2)),$((bh - 2)) 5,5" "$tmp/btn-inner.png"
    # Face: teal-blue gradient with a glassy upper half.
    convert -size ${bw}x${bh} gradient:'#2a9cc0-#0c3c74' \
        \( -size ${bw}x$((bh / 2)) gradient:'rgba(255,255,255,0.22)-rgba(255,255,255,0.06)' \
           -background none -extent ${bw}x${bh} \) -composite \
        "$tmp/btn-inner.png" -alpha off -compose CopyOpacity -composite "$tmp/btn-face.png"
    # Dark rim under the face, one-pixel highlight just inside the top.
    convert -size ${bw}x${bh} xc:'#03101f' "$tmp/btn-mask.png" -alpha off \
        -compose CopyOpacity -composite \
        "$tmp/btn-face.png" -compose Over -composite \
        -fill none -stroke 'rgba(255,255,255,0.45)' -strokewidth 1 \
        -draw "line 6,2 $((bw - 7)),2" \
        -stroke 'rgba(160,235,250,0.18)' -draw "roundrectangle 1.5,1.5 $((bw - 3)).5,$((bh - 3)).5 5,5" \
        "$tmp/btn-shape.png"
    convert "$tmp/btn-under.png" "$tmp/btn-shape.png" -composite \
        -font "$F_UI_BOLD" -pointsize 13 -gravity center \
        -fill 'rgba(0,16,40,0.75)' -annotate +0+1 "$label" \
        -fill white -annotate +0+0 "$label" \
        "$tmp/btn-$name.png"
    bmp3 "$tmp/btn-$name.png" "$out/btn_$name.bmp"
}
button start   30  'Start Parawarden'
button license 181 'View License'
button exit    332 'Exit'

ls -l "$out"
