#!/usr/bin/env bash
# Regenerates the artwork that res/onymix.rc pulls into the executable:
#   res/logo_badge.bmp    32x24, 1 bpp    logo shown beside the Quit button
#   res/about_badges.bmp  175x176, 8 bpp  picture in the About window
#   res/onymix.ico        32x32, 4 bpp    application icon
#
# Needs: bash, ImageMagick 6 (Debian package "imagemagick", run as /usr/bin/convert),
#        the DejaVu and URW base35 fonts ImageMagick already lists (fonts-dejavu-core,
#        fonts-urw-base35) and python3 for the output checks. Nothing is installed here.
#
# Usage: tools/make_art.sh          (run from anywhere; writes into <repo>/res)
#
# The output is byte-for-byte repeatable: no timestamps or profiles are written,
# ImageMagick runs single-threaded, and the two small images are drawn from the
# pixel maps below rather than from scaled or anti-aliased shapes.
set -euo pipefail

PATH=/usr/bin:/bin
export PATH
export MAGICK_THREAD_LIMIT=1
export LC_ALL=C

CONVERT=/usr/bin/convert
[ -x "$CONVERT" ] || { echo "make_art.sh: $CONVERT not found (install the imagemagick package)" >&2; exit 1; }
command -v python3 >/dev/null || { echo "make_art.sh: python3 not found" >&2; exit 1; }

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
RES=$ROOT/res
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
mkdir -p "$RES"

# Common output options: no metadata, no date chunks, plain Windows 3.x BMP headers.
CLEAN=(-strip +set date:create +set date:modify -compress None)

for font in DejaVu-Sans DejaVu-Sans-Bold Z003-MediumItalic; do
    if ! "$CONVERT" -list font | grep -qx "  Font: $font"; then
        echo "make_art.sh: ImageMagick does not know the font $font" >&2
        exit 1
    fi
done

# Every row of a pixel map must have the stated width, and there must be the stated
# number of rows; a slip while editing the maps would otherwise shift the picture.
check_map() { # file width height
    awk -v w="$2" -v h="$3" -v f="$1" '
        length($0) != w { printf "%s: row %d is %d wide, want %d\n", f, NR, length($0), w; bad = 1 }
        END { if (NR != h) { printf "%s: %d rows, want %d\n", f, NR, h; bad = 1 } exit bad }' "$1" >&2
}

# ---------------------------------------------------------------------------
# Logo, 32x24, 1 bpp.  '#' = black, '.' = white.  A name badge: a black header
# reading HELLO, a white body with a name (two bars) written over a fill-in line.
# The white corners let the window colour show through when the program maps the
# white palette entry to the dialog background.
cat > "$TMP/logo.txt" <<'EOF'
.##############################.
################################
######.#.#...#.###.####..#######
######.#.#.###.###.###.##.######
######...#..##.###.###.##.######
######.#.#.###.###.###.##.######
######.#.#...#...#...##..#######
################################
################################
#..............................#
#..............................#
#..............................#
#..............................#
#....########..############....#
#....########..############....#
#..............................#
#..............................#
#..............................#
#...########################...#
#..............................#
#..............................#
#..............................#
#..............................#
.##############################.
EOF
check_map "$TMP/logo.txt" 32 24
{ echo P1; echo 32 24; sed 's/#/1 /g; s/\./0 /g' "$TMP/logo.txt"; } > "$TMP/logo.pbm"
"$CONVERT" "$TMP/logo.pbm" -threshold 50% -type bilevel -colors 2 "${CLEAN[@]}" \
    -define bmp:format=bmp3 "BMP3:$RES/logo_badge.bmp"

# ---------------------------------------------------------------------------
# Icon, 32x32, 16 colours.  The same badge in colour (red header) in front of a
# second badge (blue header), so it reads as "names" rather than one name.
cat > "$TMP/icon.txt" <<'EOF'
                                
                                
       kkkkkkkkkkkkkkkkkkkkkkkk 
      kbbbbbbbbbbbbbbbbbbbbbbbbk
      kbbbbbbbbbbbbbbbbbbbbbbbbk
      kbbbbbbbbbbbbbbbbbbbbbbbbk
      kbbbbbbbbbbbbbbbbbbbbbbbbk
      kbbbbbbbbbbbbbbbbbbbbbbbbk
      kbbbbbbbbbbbbbbbbbbbbbbbbk
      kbbbbbbbbbbbbbbbbbbbbbbbbk
      kwwwwwwwwwwwwwwwwwwwwwwwwk
 kkkkkkkkkkkkkkkkkkkkkkkk wwwwwk
krrrrrrrrrrrrrrrrrrrrrrrrkwwwwwk
krrwrwrwwwrwrrrwrrrrwwrrrkwwwwwk
krrwrwrwrrrwrrrwrrrwrrwrrkwwwwwk
krrwwwrwwrrwrrrwrrrwrrwrrkwwwwwk
krrwrwrwrrrwrrrwrrrwrrwrrkwwwwwk
krrwrwrwwwrwwwrwwwrrwwrrrkwwwwwk
krrrrrrrrrrrrrrrrrrrrrrrrkwwwwwk
kwwwwwwwwwwwwwwwwwwwwwwwwkwwwwwk
kwwwwwwwwwwwwwwwwwwwwwwwwkkkkkk 
kwwwwwwwwwwwwwwwwwwwwwwwwk      
kwwwnnnnnnwwnnnnnnnnnnwwwk      
kwwwnnnnnnwwnnnnnnnnnnwwwk      
kwwwwwwwwwwwwwwwwwwwwwwwwk      
kwwwwwwwwwwwwwwwwwwwwwwwwk      
kwwggggggggggggggggggggwwk      
kwwwwwwwwwwwwwwwwwwwwwwwwk      
kwwwwwwwwwwwwwwwwwwwwwwwwk      
 kkkkkkkkkkkkkkkkkkkkkkkk       
                                
                                
EOF
check_map "$TMP/icon.txt" 32 32
{
    echo '/* XPM */'
    echo 'static char *onymix[] = {'
    echo '"32 32 7 1",'
    echo '"  c None",'
    echo '"k c #2B2B2B",'   # outline
    echo '"r c #D0342C",'   # front header
    echo '"b c #2F6DB5",'   # back header
    echo '"w c #FFFFFF",'   # paper and header lettering
    echo '"n c #1B2A55",'   # written name
    echo '"g c #A8A8A8",'   # fill-in line
    sed 's/.*/"&",/' "$TMP/icon.txt"
    echo '};'
} > "$TMP/icon.xpm"
# PaletteAlpha keeps the image colour-mapped (so the ICO entry is written at 4 bpp)
# while the transparent pixels go to the AND mask.
"$CONVERT" "$TMP/icon.xpm" -type PaletteAlpha "${CLEAN[@]}" "ICO:$RES/onymix.ico"

# ---------------------------------------------------------------------------
# About picture, 175x176, 8 bpp.  Three name badges on a soft blue gradient; the
# front one is filled in with the program's name.
badge() { # out width height header-colour name
    local out=$1 w=$2 h=$3 col=$4 name=$5
    local r=$((w - 1)) b=$((h - 1))
    "$CONVERT" -size "${w}x${h}" xc:none \
        -fill "$col" -draw "roundrectangle 0,0 $r,$b 9,9" \
        -fill white -draw "rectangle 5,36 $((w - 6)),$((h - 9))" \
        -fill '#E4E4E4' -draw "line 5,$((h - 9)) $((w - 6)),$((h - 9))" \
        -gravity north -fill white \
        -font DejaVu-Sans-Bold -pointsize 19 -annotate +0+3 'HELLO' \
        -font DejaVu-Sans -pointsize 9 -annotate +0+24 'my name is' \
        -gravity center -fill '#1B2A55' \
        -font Z003-MediumItalic -pointsize 30 -annotate +0+17 "$name" \
        "$out"
}
# Soft drop shadow, then a turn; the shadow is added first so it turns with the badge.
lift() { # in out angle
    "$CONVERT" "$1" \( +clone -background '#0B2545' -shadow 45x3+2+3 \) +swap \
        -background none -layers merge +repage \
        -background none -rotate "$3" +repage "$2"
}
badge "$TMP/b1.png" 110 82 '#2F6DB5' ''
badge "$TMP/b2.png" 110 82 '#2E9A5B' ''
badge "$TMP/b3.png" 128 94 '#D0342C' 'Onymix'
lift "$TMP/b1.png" "$TMP/l1.png" -14
lift "$TMP/b2.png" "$TMP/l2.png" 9
lift "$TMP/b3.png" "$TMP/l3.png" -4

"$CONVERT" -size 175x176 gradient:'#F4F8FC'-'#B7CDE6' \
    "$TMP/l1.png" -geometry +2+10 -composite \
    "$TMP/l2.png" -geometry +42+4 -composite \
    "$TMP/l3.png" -geometry +15+60 -composite \
    -alpha off +dither -colors 256 -type Palette "${CLEAN[@]}" \
    -define bmp:format=bmp3 "BMP3:$TMP/about_badges.bmp"
mv "$TMP/about_badges.bmp" "$RES/about_badges.bmp"

# ---------------------------------------------------------------------------
# Check what was written against what the resource loader and the window code
# expect; a wrong size or depth here would only show up as a broken window.
python3 - "$RES" <<'EOF'
import struct, sys, os
res = sys.argv[1]
bad = []

def bmp(name, want_w, want_h, want_bpp, want_colours):
    d = open(os.path.join(res, name), 'rb').read()
    if d[:2] != b'BM':
        bad.append(name + ': not a BMP'); return
    size, off = struct.unpack_from('<I4xI', d, 2)
    hsz, w, h, planes, bpp, comp, _, _, _, used = struct.unpack_from('<IiiHHIIiiI', d, 14)
    colours = used or (1 << bpp)
    got = (hsz, w, h, planes, bpp, comp, colours, size)
    want = (40, want_w, want_h, 1, want_bpp, 0, want_colours, len(d))
    if got != want:
        bad.append('%s: header/size/bpp/comp/colours/filesize %r, want %r' % (name, got, want))
    stride = ((w * bpp + 31) // 32) * 4
    if off != 14 + 40 + 4 * colours or off + stride * abs(h) != len(d):
        bad.append('%s: pixel data at %d does not fit the file' % (name, off))
    print('%s: %dx%d, %d bpp, %d palette entries, %d bytes' % (name, w, h, bpp, colours, len(d)))

bmp('logo_badge.bmp', 32, 24, 1, 2)
bmp('about_badges.bmp', 175, 176, 8, 256)

name = 'onymix.ico'
d = open(os.path.join(res, name), 'rb').read()
zero, typ, count = struct.unpack_from('<HHH', d, 0)
w, h, ncol, _, planes, bits, size, off = struct.unpack_from('<BBBBHHII', d, 6)
if (zero, typ, count, w, h, ncol, planes, bits) != (0, 1, 1, 32, 32, 16, 1, 4):
    bad.append('%s: directory %r' % (name, (zero, typ, count, w, h, ncol, planes, bits)))
hsz, bw, bh, bplanes, bbpp, comp, _, _, _, used = struct.unpack_from('<IiiHHIIiiI', d, off)
if (hsz, bw, bh, bplanes, bbpp, comp) != (40, 32, 64, 1, 4, 0) or used not in (0, 16):
    bad.append('%s: image header %r' % (name, (hsz, bw, bh, bplanes, bbpp, comp, used)))
pal = [d[off + 40 + 4 * i: off + 43 + 4 * i] for i in range(16)]
xor = off + 40 + 64
andm = xor + 16 * 32
if andm + 4 * 32 != off + size or off + size != len(d):
    bad.append('%s: entry size %d does not match its contents' % (name, size))
clear = 0
for y in range(32):
    for x in range(32):
        masked = (d[andm + 4 * y + x // 8] >> (7 - x % 8)) & 1
        byte = d[xor + 16 * y + x // 2]
        idx = byte >> 4 if x % 2 == 0 else byte & 15
        # Where the mask lets the desktop through, the colour is XORed onto it,
        # so it has to be black or the background would be tinted.
        if masked:
            clear += 1
            if pal[idx] != b'\0\0\0':
                bad.append('%s: transparent pixel %d,%d uses colour %d' % (name, x, y, idx)); break
if not 0 < clear < 32 * 32:
    bad.append('%s: %d transparent pixels' % (name, clear))
print('%s: %dx%d, %d bpp, %d colours, %d transparent pixels, %d bytes' % (name, w, h, bits, ncol, clear, len(d)))

if bad:
    print('\n'.join(bad), file=sys.stderr)
    sys.exit(1)
EOF
