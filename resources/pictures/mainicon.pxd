# The program's icon drawn for the sizes between and above its pixel maps: two grey keys
# beside a yellow padlock. Icons use only the 16 standard colours.
drawing 32 32
colour - transparent
colour k 0 0 0 black: outlines, keyhole
colour s 192 192 192 silver: keys and shackle
colour Y 255 255 0 yellow: padlock body
colour o 128 128 0 olive: shade of the body
# the shackle, its inside left clear
outlined s k ellipse 22.5 12 6.5 8.5
outlined - k ellipse 22.5 12 3 5
fill - rect 19 12 26.5 15
# the keys: a ring with a hole, a shaft and two teeth each
outlined s k ellipse 5 5 5 5
outlined - k ellipse 5 5 2 2
outlined s k rect 3 9 7 31
outlined s k rect 6 23 10 26
outlined s k rect 6 27 10 30
outlined s k ellipse 10.5 10.5 4.5 4.5
outlined - k ellipse 10.5 10.5 1.8 1.8
outlined s k rect 8.5 14 12.5 30
outlined s k rect 11.5 22 14 25
# the padlock's body and keyhole
outlined Y k rect 14 15 31 31
fill o rect 15 29 30 30
fill k ellipse 22.5 21 2 2
fill k rect 21.5 21 23.5 26
