# The draw procedure and what its views share: rolling display, colour effects, winner list
# text and waits. Needs the window system.
set(ZOP_UI_REVEAL_SOURCES
  reveal/DrawWaits.cpp reveal/DrawWaits.h
  reveal/ColourFlash.cpp reveal/ColourFlash.h
  reveal/RollingDisplay.cpp reveal/RollingDisplay.h
  reveal/WinnerListText.cpp reveal/WinnerListText.h
  reveal/DrawView.h
  reveal/DrawProcedure.cpp reveal/DrawProcedure.h
)
