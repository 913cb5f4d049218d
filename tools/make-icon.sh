#!/bin/sh
# Makes src/res/setup.ico, the setup program's icon: a written page with a
# pencil across it, as a 32x32 and a 16x16 image of 16 colours, the depth
# that Windows 95 shows without dithering. The large image is drawn with
# ImageMagick; the small one is laid out pixel by pixel, since a scaled-down
# copy turns to mush at that size. icotool packs both into the icon.
# Usage: tools/make-icon.sh [output.ico]
set -eu

here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here/../src/res/setup.ico}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Colours are those of the VGA palette; no anti-aliasing, so none are mixed.
convert -size 32x32 xc:none +antialias \
    -fill white -stroke black \
    -draw 'polygon 5,2 17,2 23,8 23,29 5,29' \
    -fill silver -draw 'polygon 17,2 17,8 23,8' \
    -stroke navy \
    -draw 'line 8,11 19,11' -draw 'line 8,14 19,14' -draw 'line 8,17 17,17' \
    -draw 'line 8,20 14,20' -draw 'line 8,23 11,23' \
    -stroke black -fill yellow \
    -draw 'polygon 27,9 30,12 18,24 15,21' \
    -fill black -draw 'polygon 15,21 18,24 13,26' \
    -stroke maroon -fill red -draw 'polygon 27,9 30,12 29,13 26,10' \
    -type PaletteAlpha -colors 16 "PNG8:$work/32.png"

cat > "$work/16.xpm" <<'XPM'
/* XPM */
static char *small[] = {
"16 16 7 1",
"  c None",
"k c #000000",
"w c #FFFFFF",
"s c #C0C0C0",
"n c #000080",
"y c #FFFF00",
"r c #FF0000",
" kkkkkkkk       ",
" kwwwwwwkk      ",
" kwwwwwwksk  kk ",
" kwwwwwwkkkkkrrk",
" kwwwwwwwwwkyyk ",
" kwnnnnnnwkyyk  ",
" kwwwwwwwkyyk   ",
" kwnnnnnkyyk    ",
" kwwwwwkyykk    ",
" kwnnnkyykwk    ",
" kwwwkwwkwwk    ",
" kwwkwkwwwwk    ",
" kwkkwwwwwwk    ",
" kwwwwwwwwwk    ",
" kwwwwwwwwwk    ",
" kkkkkkkkkkk    "};
XPM
convert "$work/16.xpm" -type PaletteAlpha "PNG8:$work/16.png"

icotool -c -b 4 -o "$out" "$work/32.png" "$work/16.png"
icotool -l "$out"
