# SPDX-License-Identifier: MIT
"""Where everything sits. The fixed positions are the game's own; the rest is this skin's
choice and goes into main.ini. The contact sheet and the pictures use the same numbers."""

SCREEN_W, SCREEN_H = 720, 540
BUFFER_W, BUFFER_H = 724, 544          # the back buffer that centres the overlay panels

# Fixed by the game.
BOARD = (228, 90, 484, 506)            # 8 x 13 cells of 32 x 32
CELL = 32
STAGE_BAR = (317, 97, 597, 127)
STAGE_SLOT_X, STAGE_SLOT_Y, STAGE_SLOT_STEP = 319, 99, 14
STAGE_SLOT_W, STAGE_SLOT_H = 10, 26
SEL_POINT_X, SEL_POINT_Y = 316, 86
SEL_STAGE_DIGITS = (224, 211, 94)
DIFF_ICON_X, DIFF_ICON_STEP, DIFF_ICON_Y, DIFF_ICON = 268, 64, 172, 36
MUSIC_X, MUSIC_STEP, MUSIC_Y, MUSIC_W, MUSIC_H = 250, 78, 250, 64, 32
ANGEL_MENU = (448, 240)                # plus a float of up to 32 right and 24 down
ANGEL_PLAY = (456, -20)
NEXT_PAIR_OFFSET = (16, 96)
CHARACTERS = [(540, 380), (580, 445), (620, 385)]
TARGETS_LEFT = (622, 609, 332)
TIME_MIN, TIME_SEC = (588, 256), (644, 256)
TITLE_LOGO = (80, 64)
HELP_POS = (228, 90)
LOADING_SIZE = (200, 149)
PLAN_SIZE = (198, 10)

# Cell and glyph sizes of this skin.
ANGEL_CELL = (96, 136)                 # the bird is drawn from row 44 of its cell down
ANGEL_TOP = 44
CHAR_CELL = (64, 60)
SCORE_GLYPH = (20, 22)                 # advance 20
STAGE_GLYPH = (24, 32)                 # advance 26
TIME_GLYPH = (20, 24)                  # advance 20
MOVE_GLYPH = (12, 17)                  # advance 12, 11 rows
DIFF_GLYPH = (96, 22)
CHECK_SIZE = (24, 24)
VOLUME_SIZE = (52, 14)

# The play screen's left column: score, sound and buttons.
SHOW_SCORE = (16, 140)                 # rows at y - 38, y, y + 38
SCORE_PANEL = (8, 76, 220, 212)
SOUND_PANEL = (8, 222, 220, 298)
CHECK = [(20, 232), (20, 264)]         # music, sound effects
CHECK_HIT = [(18, 124, 230, 258), (18, 124, 262, 290)]   # left, right, top, bottom (strict)
VOLUME = [(152, 237), (152, 269)]
BUTTON_PANEL = (8, 308, 220, 440)
# The right column: stage, time and targets left.
SHOW_STAGE = (622, 190)                # two digits at x - 13, like the targets-left counter
STAGE_PANEL = (494, 180, 712, 230)
TIME_PANEL = (494, 246, 712, 290)
TARGETS_PANEL = (494, 322, 712, 372)

# Button pictures: number -> (file label, size).
BUTTON_SIZE = (100, 34)
BUTTON_IMAGES = [
    "New game",   # 0  play: new game
    "Pause",      # 1  play: pause
    "Help",       # 2  play: help
    "Exit",       # 3  play: exit to the title
    "web",        # 4  play: web link (a glow over the words painted on the background)
    "Yes",        # 5  confirmation yes
    "No",         # 6  confirmation no
    "Play",       # 7  title: start
    "Quit",       # 8  title: quit
    "Start",      # 9  stage selection: start
]
WEB_LINK = (14, 398, 214, 430)         # the words under the buttons and button 4's glow
BIG_BUTTON_SIZE = (180, 48)            # title and stage-selection buttons

GAME_BUTTONS = [                       # button index -> (image, x, y)
    (0, 10, 316), (1, 114, 316), (2, 10, 356), (3, 114, 356), (4, WEB_LINK[0], WEB_LINK[1]),
]
# The two confirmation panels are centred in the buffer without sway.
CONFIRM_SIZE = (300, 168)
CONFIRM_POS = ((BUFFER_W - CONFIRM_SIZE[0]) // 2, (BUFFER_H - CONFIRM_SIZE[1]) // 2)
_yes_x = CONFIRM_POS[0] + 40
_no_x = CONFIRM_POS[0] + CONFIRM_SIZE[0] - 40 - BUTTON_SIZE[0]
_yn_y = CONFIRM_POS[1] + CONFIRM_SIZE[1] - 22 - BUTTON_SIZE[1]
GAME_BUTTONS += [(5, _yes_x, _yn_y), (6, _no_x, _yn_y), (5, _yes_x, _yn_y), (6, _no_x, _yn_y)]
# Where the yes and no buttons lie on a confirmation panel, in the panel's own pixels.
CONFIRM_BUTTON_OFFSETS = [(_yes_x - CONFIRM_POS[0], _yn_y - CONFIRM_POS[1]), (_no_x - CONFIRM_POS[0], _yn_y - CONFIRM_POS[1])]

TITLE_BUTTONS = [(7, 130, 300), (8, 130, 364)]          # 0 start, 1 quit; the advertisement is 2
SELECT_BUTTONS = [(9, 262, 330)]                        # 0 start
AD_SHOW = (700, 520)                                    # no advertisement: a 1 x 1 spot nobody can hit

SELECT_PANEL = (100, 40, 652, 300)
