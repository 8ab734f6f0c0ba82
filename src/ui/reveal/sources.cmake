# Rolling display, colour effects and waits of a reveal: need the window system.
set(ZOP_UI_REVEAL_SOURCES
  reveal/zopSleepModule.cpp reveal/zopSleepModule.h
  reveal/ColourFlash.cpp reveal/ColourFlash.h
  reveal/RollingDisplay.cpp reveal/RollingDisplay.h
)
