# Draw state, selection, random numbers and the result file: Qt Core only.
set(ZOP_DRAW_CORE_SOURCES
  RunData.cpp RunData.h
  DrawRandom.cpp DrawRandom.h
  DrawPreparation.cpp DrawPreparation.h
  ResultFile.cpp ResultFile.h
  WinnerList.cpp WinnerList.h
)
# Rolling display, colour effects, waits and the draw procedure: need the window system.
set(ZOP_DRAW_UI_SOURCES
  zopSleepModule.cpp zopSleepModule.h
  ColourFlash.cpp ColourFlash.h
  RollingDisplay.cpp RollingDisplay.h
)
