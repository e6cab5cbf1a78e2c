# SPDX-License-Identifier: MIT
"""main.ini of the default skin."""
import layout as L
import screens

# The web links of Text1 and Text2 (the play screen's button 4): empty, so that the button opens
# nothing, until the game has a page of its own.
WEB_ADDRESS = ""


def _buttons(buttons):
    keys = {"MaxButton": len(buttons) - 1}
    for i, (image, x, y) in enumerate(buttons):
        keys[f"Button{i}"], keys[f"Button{i}_X"], keys[f"Button{i}_Y"] = image, x, y
    return keys


def main_ini():
    ms = {
        "ImagesDir": "/images/",
        "MaxTexts": 2,
        "MaxMouseStyle": 4,
        "ButtonMinAlpha": 0,
        "MaxButton": len(L.BUTTON_IMAGES) - 1,
    }
    for i in range(2):
        ms[f"CheckX{i}"], ms[f"CheckY{i}"] = L.CHECK[i]
    for i in range(2):
        left, right, top, bottom = L.CHECK_HIT[i]
        ms[f"C_CheckX0{i}"], ms[f"C_CheckX1{i}"] = left, right
        ms[f"C_CheckY0{i}"], ms[f"C_CheckY1{i}"] = top, bottom
    for i in range(2):
        ms[f"VolX{i}"], ms[f"VolY{i}"] = L.VOLUME[i]
    ms["ShowStageX"], ms["ShowStageY"] = L.SHOW_STAGE
    ms["ShowScoreX"], ms["ShowScoreY"] = L.SHOW_SCORE
    ms["MaxSounds"] = 7
    ms["MaxBackMusic"] = 4
    for d in range(3):
        ms[f"Hi_Score{d}"] = 0
    sections = [("MainSettings", ms),
                ("Texts", {"Text0": "Kestrel", "Text1": WEB_ADDRESS, "Text2": WEB_ADDRESS})]
    for name, buttons in (("TitleButton", L.TITLE_BUTTONS), ("SelectStageButton", L.SELECT_BUTTONS),
                          ("GameButton", L.GAME_BUTTONS)):
        sections.append((name, _buttons(buttons)))
    sections.append(("ADPIC", {"MaxAD": -1, "ADShowX": L.AD_SHOW[0], "ADShowY": L.AD_SHOW[1]}))
    # The screens that came later, after everything older builds read.
    for name, buttons in (("HiScoreButton", L.HISCORE_BUTTONS), ("ControlsButton", L.CONTROLS_BUTTONS)):
        sections.append((name, _buttons(buttons)))
    # The help page's play table: where the game writes each action's key and pad button.
    sections.append(("HelpPage", screens.help_layout()))
    lines = []
    for name, keys in sections:
        lines.append(f"[{name}]")
        lines += [f"{k}={v}" for k, v in keys.items()]
        lines.append("")
    return "\n".join(lines)
