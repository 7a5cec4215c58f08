# Pause/Resume while a run is active: two black bars.
# Button picture drawn for the larger sizes (the 16 x 16 one is its pixel map); grey is the
# transparent colour of the image list.
drawing 16 16
colour . 192 192 192 background
colour k 0 0 0 black
fill k rect 3 2 7 14
fill k rect 9 2 13 14
