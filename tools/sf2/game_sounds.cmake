# What the game sounds, as vintaro-sf2-subset takes it: Xylophone (program 13)
# for the block notes and SynthStrings 2 (51) for the victory tune on bank 0,
# and the percussion kit's Side Stick (37) and Low Tom (45).
set(VINTARO_GAME_SOUNDS 0:13:71-79 0:51:80,82,85 128:0:37,45)
set(VINTARO_SOUNDFONT /usr/share/sounds/sf2/TimGM6mb.sf2)
