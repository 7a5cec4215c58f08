# Pause/Resume while idle: the two bars in grey with a white shadow.
# Button picture drawn for the larger sizes (the 16 x 16 one is its pixel map); grey is the
# transparent colour of the image list.
drawing 16 16
colour . 192 192 192 background
colour d 128 128 128 grey
colour w 255 255 255 white: shadow
fill w rect 4 3 8 15
fill w rect 10 3 14 15
fill d rect 3 2 7 14
fill d rect 9 2 13 14
