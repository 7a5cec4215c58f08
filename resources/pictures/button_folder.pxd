# Browse for the destination folder: a yellow folder, its front open over its back.
# Button picture drawn for the larger sizes (the 16 x 16 one is its pixel map); grey is the
# transparent colour of the image list.
drawing 16 16
colour . 192 192 192 background
colour k 0 0 0 black: outline
colour o 160 112 0 dark yellow: the back
colour y 255 216 48 yellow
outlined o k polygon 1 2 7 2 8 4 16 4 16 15 1 15
outlined y k rect 3 6 16 15
