set(ZOP_UI_COMMON_SOURCES
  common/MessageBoxes.cpp common/MessageBoxes.h
  common/Twips.h
  common/Fonts.cpp common/Fonts.h
)
