#!/usr/bin/env bash
# Draws Tavrel's pictures: the red square stamp (57 x 57 JPEG) shown in the
# window, its bitmaps for Tavrel.exe, and the application icon (PNGs for
# Linux, an .ico for Windows).
# The results are checked in; run this only to change them.
# Needs: imagemagick, icoutils, fonts-arphic-gkai00mp, fonts-wqy-microhei.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
kai=/usr/share/fonts/truetype/arphic-gkai00mp/gkai00mp.ttf
hei=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
red='#c8161d'
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A seal reads in columns from the right: 评委 on the right, 之印 on the left.
seal() { # size border pointsize out
    local s=$1 b=$2 p=$3 out=$4 half=$(( $1 / 2 ))
    convert -size "${s}x${s}" xc:white \
        -fill none -stroke "$red" -strokewidth "$b" \
        -draw "rectangle $((b/2+1)),$((b/2+1)) $((s-b/2-2)),$((s-b/2-2))" \
        -stroke none -fill "$red" -font "$kai" -pointsize "$p" -gravity NorthWest \
        -annotate "+$((half))+$((b+1))" '评' -annotate "+$((half))+$((half))" '委' \
        -annotate "+$((b+1))+$((b+1))" '之' -annotate "+$((b+1))+$((half))" '印' \
        "$out"
}

# 57 x 57 as the window shows it, and twice that for screens at 2x.
seal 57 4 22 "$work/stamp.png"
seal 114 8 44 "$work/stamp@2x.png"
for name in stamp stamp@2x; do
    convert "$work/$name.png" -strip -sampling-factor 1x1 -quality 95 -interlace none \
        -density 72 -units PixelsPerInch "$name.jpg"
    # Tavrel.exe's copy, decoded from the JPEG here so that every front-end
    # shows the same pixels and the program starts without an image codec.
    convert "$name.jpg" -type TrueColor BMP3:"windows/$name.bmp"
done

# The icon: a white 评 on a red square.
icon() { # size pointsize out
    convert -size "$1x$1" xc:"$red" -fill white -font "$hei" -pointsize "$2" \
        -gravity center -annotate +0+0 '评' "$3"
}
mkdir -p icons
for size in 16 32 48 128 256; do
    icon "$size" $(( size * 7 / 8 )) "icons/tavrel-$size.png"
done

# Windows icon: 32 x 32 monochrome, 32 x 32 and 16 x 16 in 16 colours.
convert icons/tavrel-32.png -colorspace gray -threshold 60% -monochrome "$work/mono32.png"
convert icons/tavrel-32.png -dither None -colors 16 PNG8:"$work/colour32.png"
convert icons/tavrel-16.png -dither None -colors 16 PNG8:"$work/colour16.png"
icotool -c -o tavrel.ico -b 1 "$work/mono32.png" -b 4 "$work/colour32.png" -b 4 "$work/colour16.png"
