# Stop while idle: the square in grey with a white shadow.
# Button picture drawn for the larger sizes (the 16 x 16 one is its pixel map); grey is the
# transparent colour of the image list.
drawing 16 16
colour . 192 192 192 background
colour d 128 128 128 grey
colour w 255 255 255 white: shadow
fill w rect 4 4 14 14
fill d rect 3 3 13 13
