# Add: a black plus sign beside a green triangle pointing right.
# Button picture drawn for the larger sizes (the 16 x 16 one is its pixel map); grey is the
# transparent colour of the image list.
drawing 16 16
colour . 192 192 192 background
colour k 0 0 0 black
colour G 0 96 0 dark green: outline
colour g 0 176 0 green
fill k rect 2 5 4 11
fill k rect 0 7 6 9
outlined g G polygon 7 1 16 8 7 15
