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
    "High scores",  # 10 title and stage selection: the high-score table
    "Controls",   # 11 title: the controls page
    "Keys",       # 12 play, while paused: the controls page
    "Back",       # 13 high-score table and controls page: back
    "Defaults",   # 14 controls page: the default keys again
]
BIG_BUTTON_IMAGES = (7, 8, 9, 10, 11)
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

# The title's four buttons in one column between the logo and the bottom, left of the figure:
# play, high scores, controls, quit; the advertisement follows them.
TITLE_BUTTONS = [(7, 130, 284), (8, 130, 452), (10, 130, 340), (11, 130, 396)]
SELECT_BUTTONS = [(9, 262, 330), (10, 262, 394)]        # 0 start, 1 the high-score table
# Shown while the game is paused, under the swaying pause panel (it reaches down to y 346).
GAME_BUTTONS.append((12, 310, 350))
HISCORE_BUTTONS = [(13, 20, 494)]                       # 0 back
CONTROLS_BUTTONS = [(13, 20, 494), (14, 600, 494)]      # 0 back, 1 the default keys
AD_SHOW = (700, 520)                                    # no advertisement: a 1 x 1 spot nobody can hit

SELECT_PANEL = (100, 40, 652, 300)

# The high-score table: one panel a difficulty, eight rows each; the game writes in them.
SCORES_PANEL_X = (12, 248, 484)
SCORES_PANEL_W = 224
SCORES_PANEL_Y = (80, 470)
SCORES_HEAD_Y = (86, 116)
SCORES_ROW_Y, SCORES_ROW_STEP, SCORES_ROW_H, SCORES_ROWS = 122, 43, 40, 8
HEADING_Y = (14, 70)
FOOTER_Y = (474, 488)

# The controls page: one row an action, with the wells the game writes the key and the pad
# button into.
CONTROLS_PANEL = (40, 80, 680, 470)
CONTROLS_HEAD_Y = (88, 112)
CONTROLS_COLUMNS = ((64, "Action"), (296, "Key"), (486, "Pad"))
CONTROLS_ROW_Y, CONTROLS_ROW_STEP, CONTROLS_ROW_H = 120, 44, 36
CONTROLS_KEY_WELL, CONTROLS_PAD_WELL = (288, 468), (478, 658)
CONTROLS_MESSAGE_Y = (432, 456)
ACTIONS = ("Move left", "Move right", "Rotate", "Drop a row", "Hurry", "Pause", "Hide the window")

# The name-entry panel, drawn at (140, 150) over the play screen.
NAME_PANEL_SIZE = (440, 240)
NAME_HEADING_Y = (8, 40)
NAME_FIELD = (20, 72, 420, 104)
NAME_PICKER_Y = (110, 208)
NAME_HINT_Y = (214, 232)
