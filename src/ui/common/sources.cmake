set(ZOP_UI_COMMON_SOURCES
  common/ClickTracker.cpp common/ClickTracker.h
  common/MessageBoxes.cpp common/MessageBoxes.h
  common/Twips.h
  common/Fonts.cpp common/Fonts.h
  common/CaptionLabel.cpp common/CaptionLabel.h
  common/PictureBox.cpp common/PictureBox.h
  common/Pictures.cpp common/Pictures.h
  common/WidgetColours.cpp common/WidgetColours.h
  common/QtChinese.cpp common/QtChinese.h
)
