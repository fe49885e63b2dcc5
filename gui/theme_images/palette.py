"""The colours of the theme images, following the theme's colour table."""

from raster import rgb, theme_colour

FORM = theme_colour(0xF3E5DF)        # colour 0: form background
FRAME_LINE = theme_colour(0xDCB6A9)  # colour 23
ACCENT = theme_colour(0xFF9933)      # colours 16, 17
POPUP_FRAME = theme_colour(0xF1D5C6)  # colour 21
DEEP = theme_colour(0xCA9685)        # colour 25
TEXT = theme_colour(0x404040)
MID_GREY = theme_colour(0x606060)
LIGHT_GREY = theme_colour(0xA0A0A0)
DISABLED = theme_colour(0xB0B0B0)
WHITE = (255, 255, 255)
TRACK = rgb(0xEEF1F7)
TRACK_HOVER = rgb(0xE6EBF4)
TRACK_PRESSED = rgb(0xDCE3F0)
GREEN = rgb(0x3AA65A)
RED = rgb(0xD9463F)
AMBER = rgb(0xF2B630)
FOLDER = rgb(0xF2C45A)
FOLDER_DARK = rgb(0xD9A23C)
STEEL = rgb(0x5A6C8C)
