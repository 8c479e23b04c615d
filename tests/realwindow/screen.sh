# Reading the game back from a screenshot, for the real-window tests. Sourced, not run. Each
# function reads the last screenshot, $work/shot.png, unless it is given a picture.

# Pixel colour at (x, y), as "r,g,b".
pixel() {
    convert "$work/shot.png" -format '%[fx:int(255*p{'"$1,$2"'}.r)],%[fx:int(255*p{'"$1,$2"'}.g)],%[fx:int(255*p{'"$1,$2"'}.b)]' info:
}
expect_pixel() {
    local got
    got=$(pixel "$1" "$2")
    [[ "$got" == "$3" ]] || fail "$4: pixel ($1,$2) is $got, expected $3"
}

# How many pixels of colour r,g,b lie in the region WxH+X+Y.
count_colour() {
    convert "$work/shot.png" -crop "$1" +repage -format %c histogram:info: \
        | awk -v c="($2)" '{ gsub(/ /, ""); if (index($0, c)) { split($0, n, ":"); s += n[1] } } END { print s + 0 }'
}

# Whether the picture at x,y ($3,$4) of screenshot $1 is the cell picture $2 (peg, empty ...).
shows() {
    [[ $(compare -metric AE "$1[60x60+$3+$4]" \
        "$(dirname "${BASH_SOURCE[0]}")/../../resources/cells/$2.png" null: 2>&1) == 0 ]]
}

# Which columns of picture $1 (a title bar) hold ink, pixels that differ clearly from the
# commonest colour of their row, the bar's background there: a string of 0 and 1.
ink_columns() {
    convert "$1" -depth 8 txt:- | awk -F'[,:() ]+' '
        NR > 1 { p[$1, $2] = $3 " " $4 " " $5; n[$2, p[$1, $2]]++; if ($2 > rows) rows = $2; if ($1 >= width) width = $1 + 1 }
        END {
            for (y = 0; y <= rows; y++) {
                best = 0
                for (x = 0; x < width; x++) if (n[y, p[x, y]] > best) { best = n[y, p[x, y]]; bg[y] = p[x, y] }
            }
            for (x = 0; x < width; x++) {
                ink = 0
                for (y = 0; y <= rows && !ink; y++) {
                    split(p[x, y], a, " "); split(bg[y], b, " ")
                    d = (a[1] > b[1] ? a[1] - b[1] : b[1] - a[1]) + (a[2] > b[2] ? a[2] - b[2] : b[2] - a[2]) \
                        + (a[3] > b[3] ? a[3] - b[3] : b[3] - a[3])
                    ink = d > 90
                }
                printf "%d", ink
            }
            print ""
        }'
}

# The runs of ink in columns $1 (from ink_columns) with gaps under 8 columns, the letters of a
# caption or the strokes of a button: "first last" a line, from the left.
ink_runs() {
    awk -v ink="$1" 'BEGIN {
        n = length(ink); start = -1
        for (x = 0; x < n; x++) {
            if (substr(ink, x + 1, 1) == "1") { if (start < 0) start = x; last = x }
            else if (start >= 0 && x - last >= 8) { print start, last; start = -1 }
        }
        if (start >= 0) print start, last
    }'
}
