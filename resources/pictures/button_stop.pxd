# Stop while a run is active: a black square.
# Button picture drawn for the larger sizes (the 16 x 16 one is its pixel map); grey is the
# transparent colour of the image list.
drawing 16 16
colour . 192 192 192 background
colour k 0 0 0 black
fill k rect 3 3 13 13
